#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// What EnumValues reports per value: its text, its number, or nothing for other types.
using RegistrySetting = std::variant<std::monostate, std::string, std::int32_t>;

// Receives the registry class's events; every member does nothing unless overridden.
class RegistryEvents {
public:
    virtual ~RegistryEvents() = default;
    virtual void EnumKey(const std::string& sSubKeyName) {}
    virtual void EnumKeyComplete() {}
    virtual void EnumValue(const std::string& sValueName, const RegistrySetting& vValueSetting,
                           std::int32_t lValueType) {}
    virtual void EnumValueComplete() {}
    virtual void RegistryError(std::int32_t ErrorCode) {}
};

// The program's one gateway to the registry and to the shell verbs of a file type. No call
// ever fails towards its caller: reads give their defaults and errors go to RegistryError.
class clsRegistry {
public:
    static constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(0x80000000u);
    static constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(0x80000001u);
    // Between a verb and its display name in the items of GetShellCommands (U+0081).
    static constexpr const char* kVerbSeparator = "\xC2\x81";

    explicit clsRegistry(RegistryEvents* events = nullptr) : events_(events) {}

    bool EnableDelete() const { return enableDelete_; }
    void setEnableDelete(bool ubNewValue) { enableDelete_ = ubNewValue; }
    const std::string& CurrentKey() const { return currentKey_; }
    void setCurrentKey(const std::string& key) { currentKey_ = key; }

    void CreateKey(std::int32_t lKeyRoot, const std::string& sKeyName);
    void DeleteKey(std::int32_t lKeyRoot, const std::string& sKeyName);
    void DeleteValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                     const std::string& sValueName);
    std::vector<std::string> GetShellCommands(const std::string& File);
    std::vector<std::string> EnumKeys(std::int32_t Root, const std::string& sKeyName,
                                      bool NoEvents = false);
    std::vector<std::string> EnumValues(std::int32_t lKeyRoot, const std::string& sKeyName,
                                        bool NoEvents = false);
    std::int32_t GetNumericValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                                 const std::string& sValueName, std::int32_t Default = 0);
    std::string GetStringValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                               const std::string& sValueName);
    void SetNumericValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                         const std::string& sValueName, std::int32_t lValueSetting);
    void SetStringValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                        const std::string& sValueName, std::string sValueSetting);
    bool ExecuteShellCommand(const std::string& Operation, const std::string& File,
                             std::int32_t hwnd = 0);
    static bool IsFullArray(const std::vector<std::string>& xArray) { return !xArray.empty(); }

private:
    bool OpenKey(std::int32_t root, const std::string& name, std::uintptr_t& handle);
    std::string VerbDisplayName(const std::string& keyOfVerb, const std::string& verb);
    void RaiseError(std::int32_t code);

    RegistryEvents* events_;
    bool enableDelete_ = false;
    std::string currentKey_;
};
