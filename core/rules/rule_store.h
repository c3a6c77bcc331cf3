#pragma once

#include "sync_rule.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr const char* kRulesKey = "Software\\Halvorn Soft\\Gleichwart\\Regeln";
inline constexpr const char* kDefaultRuleText = "0|3|1|1";

struct AttributeFlags {
    bool SystemFiles = false;
    bool HiddenFiles = false;
    bool ReadOnlyFiles = false;
};

// The rule stored under `name`; never fails: a missing value reads as the default text, a
// damaged one as the fallback record. The result always carries `name`.
SyncRule LoadRule(const std::string& name);

// Stores `text` as the rule `name` in place of the rule the editor loaded as `previous`
// (empty for a new rule), in one rewrite of the hive: the new value is there before the old
// one goes, so a write that fails loses neither, and a change of case only respells the
// name. Returns 0 or the Win32 code of the failure.
std::int32_t SaveRule(const std::string& previous, const std::string& name,
                      const std::string& text);

// Parses a stored rule text, with the user's decimal separator for the number test.
SyncRule ParseRuleText(const std::string& name, std::string_view text, char decimalSeparator);

// "copy|reverse|subfolders|code", the stored form of a rule.
std::string FormatRuleText(std::int32_t copyCondition, std::int32_t reverseAction,
                           std::int32_t subfolders, std::int32_t attributeCode);
std::string RuleText(const SyncRule& rule);

std::int32_t AttributesToCode(bool readOnly, bool hidden, bool system);
AttributeFlags CodeToAttributes(std::int32_t code);

std::string RegistryQueryString(std::uintptr_t root, const std::string& keyPath,
                                const std::string& valueName, const std::string& defaultText);
bool RegistryOpenKey(std::uintptr_t root, const std::string& keyPath, std::uintptr_t& key);
void RegistryCreateKey(std::uintptr_t root, const std::string& keyPath);
