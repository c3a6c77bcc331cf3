#pragma once

// Where the rules are stored below HKEY_CURRENT_USER: each rule's text ("copy|reverse|
// subfolders|attributeCode") under the rules key, and its further options, when it has any,
// under the options key beside it, both with the rule's name as the value name.
inline constexpr const char* kRulesKey = "Software\\Halvorn Soft\\Gleichwart\\Regeln";
inline constexpr const char* kRuleOptionsKey = "Software\\Halvorn Soft\\Gleichwart\\Regeloptionen";
