#pragma once

#include "rule_keys.h"
#include "sync_rule.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class clsRegistry;

inline constexpr const char* kDefaultRuleText = "0|3|1|1";

struct AttributeFlags {
    bool SystemFiles = false;
    bool HiddenFiles = false;
    bool ReadOnlyFiles = false;
};

// The rule stored under `name` with its options; never fails: a missing value reads as the
// default text, a damaged one as the fallback record, and a rule without options (or with a
// damaged options text) has them all off. The result always carries `name`.
SyncRule LoadRule(const std::string& name);

// Stores `text` and `options` as the rule `name` in place of the rule the editor loaded as
// `previous` (empty for a new rule), in one rewrite of the hive: the new values are there
// before the old ones go, so a write that fails loses neither, and a change of case only
// respells the name. Option lines of `previous` that this version does not know are kept.
// Returns 0 or the Win32 code of the failure.
std::int32_t SaveRule(const std::string& previous, const std::string& name, const std::string& text,
                      const RuleOptions& options);

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

// The stored rules as the windows see them: names in the order the lists show them, each
// rule read, saved, renamed and removed by name. Names are the stored bytes.
class RuleStore {
public:
    explicit RuleStore(clsRegistry& registry) : registry_(registry) {}

    // No key of the program exists yet: this user starts the program for the first time.
    // Asked before anything else is read, as reading creates the key.
    static bool IsFirstStart();

    std::vector<std::string> Names() const;
    SyncRule Load(const std::string& name) const { return LoadRule(name); }
    // As SaveRule: `previous` is the name the rule was loaded under, empty for a new one.
    std::int32_t Save(const std::string& previous, const std::string& name, const std::string& text,
                      const RuleOptions& options) {
        return SaveRule(previous, name, text, options);
    }
    // The rule keeps its text and options under the new name; the old name goes in the same
    // write.
    std::int32_t Rename(const std::string& from, const std::string& to);
    // The rule and its options go in one write.
    std::int32_t Remove(const std::string& name);
    // Three ready rules for a new user, with read-only and hidden files and both options;
    // later starts never add them again, also not when the user has deleted every rule.
    std::int32_t StoreStarterRules();

private:
    clsRegistry& registry_;
};
