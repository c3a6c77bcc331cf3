#include "rule_store.h"

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_hive.h"
#include "platform/user_locale.h"
#include "quick_sort.h"
#include "rule_hive.h"
#include "rule_options.h"
#include "settings/app_settings.h"
#include "settings/cls_registry.h"
#include "settings/locale_number.h"

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace {

using namespace win;

std::vector<std::string_view> Split(std::string_view text, char sep) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const auto pos = text.find(sep, start);
        fields.push_back(text.substr(start, pos - start));
        if (pos == std::string_view::npos)
            return fields;
        start = pos + 1;
    }
}

std::int32_t RoundHalfEven(double v) {
    return static_cast<std::int32_t>(std::nearbyint(v));
}

SyncRule FallbackRule(const std::string& name) {
    SyncRule r;
    r.Name = name;
    r.CopyCondition = 2;
    r.ReverseAction = 0;
    r.IncludeSubfolders = true;
    r.ReadOnlyFiles = true;
    return r;
}

} // namespace

SyncRule ParseRuleText(const std::string& name, std::string_view text, char decimalSeparator) {
    const auto fields = Split(text, '|');
    if (fields.size() != 4)
        return FallbackRule(name);
    double n[4];
    for (int k = 0; k < 4; ++k) {
        const auto value = ParseLocaleNumber(fields[k], decimalSeparator);
        if (!value)
            return FallbackRule(name);
        n[k] = *value;
    }
    if (!(n[0] > -1 && n[0] < 3.0) || !(n[1] > -1 && n[1] < 6.0) || !(n[3] > -1 && n[3] < 8.0))
        return FallbackRule(name);
    SyncRule r;
    r.Name = name;
    r.CopyCondition = RoundHalfEven(n[0]);
    r.ReverseAction = RoundHalfEven(n[1]);
    r.IncludeSubfolders = n[2] != 0;
    const AttributeFlags flags = CodeToAttributes(RoundHalfEven(n[3]));
    r.SystemFiles = flags.SystemFiles;
    r.HiddenFiles = flags.HiddenFiles;
    r.ReadOnlyFiles = flags.ReadOnlyFiles;
    return r;
}

SyncRule LoadRule(const std::string& name) {
    const std::string text =
        RegistryQueryString(HKEY_CURRENT_USER, kRulesKey, name, kDefaultRuleText);
    SyncRule rule = ParseRuleText(name, text, platform::UserDecimalSeparator());
    // Read without making the options key: loading a rule never writes.
    const HiveData& data = Hive::Current().read();
    if (StoredRuleText(data, name)) // options left behind by a removed rule do not count
        rule.Options = ParseRuleOptions(StoredOptionsText(data, name));
    return rule;
}

std::int32_t SaveRule(const std::string& previous, const std::string& name, const std::string& text,
                      const RuleOptions& options) {
    return Hive::Current().modify([&](HiveData& data) {
        const std::string kept =
            previous.empty() ? std::string() : StoredOptionsText(data, previous);
        PutRule(data, previous, name, text, FormatRuleOptions(options, kept));
        return ERROR_SUCCESS;
    });
}

std::string FormatRuleText(std::int32_t copyCondition, std::int32_t reverseAction,
                           std::int32_t subfolders, std::int32_t attributeCode) {
    return std::to_string(copyCondition) + '|' + std::to_string(reverseAction) + '|' +
           std::to_string(subfolders) + '|' + std::to_string(attributeCode);
}

std::string RuleText(const SyncRule& rule) {
    return FormatRuleText(rule.CopyCondition, rule.ReverseAction, rule.IncludeSubfolders ? 1 : 0,
                          AttributesToCode(rule.ReadOnlyFiles, rule.HiddenFiles, rule.SystemFiles));
}

// The codes are a fixed table, not a bit mask.
std::int32_t AttributesToCode(bool readOnly, bool hidden, bool system) {
    static constexpr std::int32_t table[2][2][2] = {
        // [readOnly][hidden][system]
        {{0, 6}, {4, 5}},
        {{1, 7}, {2, 3}},
    };
    return table[readOnly][hidden][system];
}

AttributeFlags CodeToAttributes(std::int32_t code) {
    switch (code) {
    case 1:
        return {false, false, true};
    case 2:
        return {false, true, true};
    case 3:
        return {true, true, true};
    case 4:
        return {false, true, false};
    case 5:
        return {true, true, false};
    case 6:
        return {true, false, false};
    case 7:
        return {true, false, true};
    default:
        return {};
    }
}

void RegistryCreateKey(std::uintptr_t root, const std::string& keyPath) {
    HKEY key = 0;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) == ERROR_SUCCESS)
        RegCloseKey(key);
}

bool RegistryOpenKey(std::uintptr_t root, const std::string& keyPath, std::uintptr_t& key) {
    LONG rc = RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_FILE_NOT_FOUND) {
        RegistryCreateKey(root, keyPath);
        rc = RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_ALL_ACCESS, &key);
    }
    return rc == ERROR_SUCCESS;
}

std::string RegistryQueryString(std::uintptr_t root, const std::string& keyPath,
                                const std::string& valueName, const std::string& defaultText) {
    HKEY key = 0;
    if (!RegistryOpenKey(root, keyPath, key))
        return defaultText;
    std::string result = defaultText;
    BYTE probe = 0;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, &probe, &size);
    if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        std::string buffer(size, '\0');
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS) {
            buffer.resize(size);
            if (!buffer.empty())
                buffer.pop_back(); // the closing NUL
            result = buffer;
        }
    }
    RegCloseKey(key);
    return result;
}

bool RuleStore::IsFirstStart() {
    HKEY key = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, AppSettings::kRootKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return true;
    RegCloseKey(key);
    return false;
}

std::vector<std::string> RuleStore::Names() const {
    std::vector<std::string> names =
        registry_.EnumValues(clsRegistry::HKEY_CURRENT_USER, kRulesKey, true);
    if (names.size() >= 2)
        QuickSort(names, 0, names.size() - 1);
    return names;
}

std::int32_t RuleStore::Rename(const std::string& from, const std::string& to) {
    return Hive::Current().modify([&](HiveData& data) -> LONG {
        const std::optional<std::string> text = StoredRuleText(data, from);
        if (!text)
            return ERROR_FILE_NOT_FOUND;
        PutRule(data, from, to, *text, StoredOptionsText(data, from));
        return ERROR_SUCCESS;
    });
}

std::int32_t RuleStore::Remove(const std::string& name) {
    return Hive::Current().modify([&](HiveData& data) {
        DropRule(data, name);
        return ERROR_SUCCESS;
    });
}

std::int32_t RuleStore::StoreStarterRules() {
    static constexpr std::pair<const char*, const char*> kStarters[] = {
        {"Aktualisieren", "0|0|1|2"}, {"Spiegeln", "0|4|1|2"}, {"Beide Richtungen", "0|3|1|2"}};
    const std::string options = FormatRuleOptions({.SymbolicLinks = true, .MatchFolders = true});
    return Hive::Current().modify([&](HiveData& data) {
        for (const auto& [name, text] : kStarters)
            PutRule(data, std::string(), name, text, options);
        return ERROR_SUCCESS;
    });
}
