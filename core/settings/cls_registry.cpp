#include "cls_registry.h"

#include "platform/registry/registry_api.h"
#include "platform/shell_execute.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace win;

HKEY RootHandle(std::int32_t root) {
    return static_cast<HKEY>(static_cast<std::uint32_t>(root));
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return s;
}

// Drops the empty element kept for the next entry; an array of only that element is erased.
void DropTrailingEmpty(std::vector<std::string>& items) {
    if (!items.empty())
        items.pop_back();
}

constexpr DWORD kNameBufferSize = 1024;

} // namespace

void clsRegistry::RaiseError(std::int32_t code) {
    if (events_ != nullptr)
        events_->RegistryError(code);
}

bool clsRegistry::OpenKey(std::int32_t root, const std::string& name, std::uintptr_t& handle) {
    LONG rc = RegOpenKeyExA(RootHandle(root), name.c_str(), 0, KEY_ALL_ACCESS, &handle);
    if (rc == ERROR_FILE_NOT_FOUND) {
        CreateKey(root, name);
        if (RegOpenKeyExA(RootHandle(root), name.c_str(), 0, KEY_ALL_ACCESS, &handle) !=
            ERROR_SUCCESS) {
            RaiseError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        RaiseError(rc);
        return false;
    }
    return true;
}

void clsRegistry::CreateKey(std::int32_t lKeyRoot, const std::string& sKeyName) {
    HKEY handle = 0;
    DWORD disposition = 0;
    LONG rc =
        RegCreateKeyExA(RootHandle(lKeyRoot), sKeyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &handle, &disposition);
    if (rc != ERROR_SUCCESS)
        RaiseError(rc);
    RegCloseKey(handle);
}

void clsRegistry::DeleteKey(std::int32_t lKeyRoot, const std::string& sKeyName) {
    if (enableDelete_) {
        if (LONG rc = RegDeleteKeyA(RootHandle(lKeyRoot), sKeyName.c_str()); rc != ERROR_SUCCESS)
            RaiseError(rc);
    }
    enableDelete_ = false;
}

void clsRegistry::DeleteValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                              const std::string& sValueName) {
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle) && enableDelete_) {
        if (LONG rc = RegDeleteValueA(handle, sValueName.c_str()); rc != ERROR_SUCCESS)
            RaiseError(rc);
    }
    RegCloseKey(handle);
    enableDelete_ = false;
}

std::int32_t clsRegistry::GetNumericValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                                          const std::string& sValueName, std::int32_t Default) {
    std::int32_t result = Default;
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle)) {
        BYTE buffer[4] = {0, 0, 0, 0};
        DWORD size = sizeof buffer;
        DWORD type = 0;
        LONG rc = RegQueryValueExA(handle, sValueName.c_str(), nullptr, &type, buffer, &size);
        if (rc == ERROR_SUCCESS) {
            std::uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | buffer[i];
            result = static_cast<std::int32_t>(n);
        } else {
            RaiseError(rc);
        }
    }
    RegCloseKey(handle);
    return result;
}

std::string clsRegistry::GetStringValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                                        const std::string& sValueName) {
    std::string result;
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle)) {
        BYTE probe = 0;
        DWORD size = 0;
        DWORD type = 0;
        LONG rc = RegQueryValueExA(handle, sValueName.c_str(), nullptr, &type, &probe, &size);
        if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) {
            RaiseError(rc);
        } else {
            std::string buffer(size, '\0');
            rc = RegQueryValueExA(handle, sValueName.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
            if (rc != ERROR_SUCCESS) {
                RaiseError(rc);
            } else {
                buffer.resize(size);
                const auto nul = buffer.find('\0');
                result = nul == std::string::npos ? buffer : buffer.substr(0, nul);
            }
        }
    }
    RegCloseKey(handle);
    return result;
}

void clsRegistry::SetNumericValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                                  const std::string& sValueName, std::int32_t lValueSetting) {
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle)) {
        const auto n = static_cast<std::uint32_t>(lValueSetting);
        const BYTE data[4] = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8),
                              static_cast<BYTE>(n >> 16), static_cast<BYTE>(n >> 24)};
        if (RegSetValueExA(handle, sValueName.c_str(), 0, REG_DWORD, data, 4) ==
            ERROR_FILE_NOT_FOUND)
            RaiseError(ERROR_FILE_NOT_FOUND);
    }
    RegCloseKey(handle);
}

void clsRegistry::SetStringValue(std::int32_t lKeyRoot, const std::string& sKeyName,
                                 const std::string& sValueName, std::string sValueSetting) {
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle)) {
        // An empty text is stored as one space.
        if (sValueSetting.empty())
            sValueSetting = " ";
        sValueSetting += '\0';
        if (RegSetValueExA(handle, sValueName.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(sValueSetting.data()),
                           static_cast<DWORD>(sValueSetting.size())) == ERROR_FILE_NOT_FOUND)
            RaiseError(ERROR_FILE_NOT_FOUND);
    }
    RegCloseKey(handle);
}

std::vector<std::string> clsRegistry::EnumKeys(std::int32_t Root, const std::string& sKeyName,
                                               bool NoEvents) {
    std::vector<std::string> result(1);
    currentKey_ = sKeyName;
    HKEY handle = 0;
    if (!OpenKey(Root, sKeyName, handle)) {
        RegCloseKey(handle);
        return result;
    }
    char name[kNameBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD size = kNameBufferSize;
        LONG rc = RegEnumKeyExA(handle, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            // Any other failure would repeat for every further index: stop there too.
            if (rc != ERROR_NO_MORE_ITEMS && !NoEvents)
                RaiseError(rc);
            break;
        }
        result.back().assign(name, size);
        result.emplace_back();
        if (!NoEvents && events_ != nullptr)
            events_->EnumKey(result[result.size() - 2]);
    }
    DropTrailingEmpty(result);
    if (!NoEvents && events_ != nullptr)
        events_->EnumKeyComplete();
    RegCloseKey(handle);
    return result;
}

std::vector<std::string> clsRegistry::EnumValues(std::int32_t lKeyRoot, const std::string& sKeyName,
                                                 bool NoEvents) {
    std::vector<std::string> result(1);
    currentKey_ = sKeyName;
    HKEY handle = 0;
    if (OpenKey(lKeyRoot, sKeyName, handle)) {
        char name[kNameBufferSize];
        BYTE data[kNameBufferSize];
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = kNameBufferSize;
            DWORD dataSize = kNameBufferSize;
            DWORD type = 0;
            LONG rc =
                RegEnumValueA(handle, index, name, &nameSize, nullptr, &type, data, &dataSize);
            if (rc == ERROR_NO_MORE_ITEMS) {
                if (!NoEvents && events_ != nullptr)
                    events_->EnumValueComplete();
                break;
            }
            if (rc != ERROR_SUCCESS) {
                if (!NoEvents)
                    RaiseError(rc);
                break;
            }
            const std::string valueName(name, nameSize);
            RegistrySetting setting;
            if (type == REG_SZ)
                setting = std::string(reinterpret_cast<const char*>(data),
                                      dataSize > 0 ? dataSize - 1 : 0);
            else if (type == REG_DWORD)
                setting = GetNumericValue(lKeyRoot, sKeyName, valueName);
            result.back() = valueName;
            result.emplace_back();
            if (!NoEvents && events_ != nullptr)
                events_->EnumValue(valueName, setting, static_cast<std::int32_t>(type));
        }
    }
    RegCloseKey(handle);
    DropTrailingEmpty(result);
    return result;
}

std::string clsRegistry::VerbDisplayName(const std::string& keyOfVerb, const std::string& verb) {
    std::string text = GetStringValue(HKEY_CLASSES_ROOT, keyOfVerb, "");
    if (!text.empty())
        return text;
    const std::string lower = Lower(verb);
    if (lower == "open")
        return "Öffnen";
    if (lower == "edit")
        return "Bearbeiten";
    if (lower == "print")
        return "Drucken";
    if (lower == "runas")
        return "Ausführen als...";
    if (lower == "printto")
        return {};
    return verb;
}

std::vector<std::string> clsRegistry::GetShellCommands(const std::string& File) {
    std::vector<std::string> result(1);
    std::string defaultVerb;
    const auto dot = File.rfind('.');
    if (dot != std::string::npos) {
        const std::string ext = Lower(File.substr(dot));
        const std::string type = GetStringValue(HKEY_CLASSES_ROOT, ext, "");
        if (!type.empty()) {
            const std::string shellKey = type + "\\shell";
            defaultVerb = GetStringValue(HKEY_CLASSES_ROOT, shellKey, "");
            const auto verbs = EnumKeys(HKEY_CLASSES_ROOT, shellKey, true);
            if (!defaultVerb.empty()) {
                const std::string name =
                    VerbDisplayName(shellKey + "\\" + defaultVerb, defaultVerb);
                if (!name.empty()) {
                    result[0] = defaultVerb + kVerbSeparator + name;
                    result.emplace_back();
                }
            }
            if (IsFullArray(verbs)) {
                for (const auto& verb : verbs) {
                    if (Lower(verb) == Lower(defaultVerb))
                        continue;
                    const std::string name = VerbDisplayName(shellKey + "\\" + verb, verb);
                    if (!name.empty()) {
                        result.back() = verb + kVerbSeparator + name;
                        result.emplace_back();
                    }
                }
            }
        }
        const auto common = EnumKeys(HKEY_CLASSES_ROOT, "*\\shell", true);
        if (IsFullArray(common)) {
            for (const auto& verb : common) {
                if (Lower(verb) == Lower(defaultVerb))
                    continue;
                const std::string name = VerbDisplayName("*\\shell\\" + verb, verb);
                if (!name.empty()) {
                    result.back() = verb + kVerbSeparator + name;
                    result.emplace_back();
                }
            }
        }
    }
    DropTrailingEmpty(result);
    return result;
}

bool clsRegistry::ExecuteShellCommand(const std::string& Operation, const std::string& File,
                                      std::int32_t hwnd) {
    const HWND window = hwnd == 0 ? GetDesktopWindow() : static_cast<HWND>(hwnd);
    return ShellExecuteA(window, Operation, File, "", "", SW_SHOWNORMAL) > 32;
}
