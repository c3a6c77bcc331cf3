#pragma once

#include <cstdio>
#include <string>

struct SyncRule;

// A rule's meaning in words, as --regeln shows it: when a start file is copied, what happens
// on the target side, subfolders, which files take part, and the options.
std::string RuleInWords(const SyncRule& rule);

// --regeln: every stored rule, one a line, "NAME (TEXT): meaning"; the first use stores the
// first-start rules as the window does. Returns the exit code.
int ListStoredRules(std::FILE* out);
