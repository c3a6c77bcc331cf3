#pragma once

#include "sync_rule.h"

#include <string>
#include <string_view>

// The stored text of a rule's options: lines "name=value" separated by "\n". "links=1" and
// "ordner=1" switch SymbolicLinks and MatchFolders on; a name that is missing, or has any
// other value, leaves its option off. Each line "ausschliessen=PATTERN" is one exclusion
// pattern, in their order. A value holds every character but the line break, and
// a name may come on several lines, so a later version can keep a list there, one entry a
// line. A line without a name before its "=" is damage and is dropped.

RuleOptions ParseRuleOptions(std::string_view text);

// The text of `options` followed by the lines of `stored` that carry none of this version's
// names, in their order: what a later version stored survives this one writing the rule
// back. Empty when every option is off and nothing else is kept: then no text is stored.
std::string FormatRuleOptions(const RuleOptions& options, std::string_view stored = {});
