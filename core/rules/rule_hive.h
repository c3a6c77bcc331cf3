#pragma once

#include <optional>
#include <string>

namespace win {
struct HiveData;
}

// A rule's two stored values, its text under the rules key and its options under the options
// key, changed together inside one rewrite of the hive (Hive::modify), so that a write that
// fails changes neither. Names compare without regard to letter case.

// The stored text of rule `name` without its closing NUL; none when it is not stored.
std::optional<std::string> StoredRuleText(const win::HiveData& data, const std::string& name);
// Its options text; empty when the rule has none.
std::string StoredOptionsText(const win::HiveData& data, const std::string& name);

// Stores the rule `name` with `text` and `optionsText` in place of `previous` (empty for a
// new rule): a change of case only respells the name, another name removes `previous`. An
// empty options text stores no options value, and makes no options key.
void PutRule(win::HiveData& data, const std::string& previous, const std::string& name,
             const std::string& text, const std::string& optionsText);

// Removes the rule `name` and its options.
void DropRule(win::HiveData& data, const std::string& name);
