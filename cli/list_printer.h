#pragma once

#include <cstdio>

struct SyncSession;

// The two lists of a load, one path per line: "+ " for a start file copied to the target,
// "< " for a target file copied back, "- " for a target file to be deleted (only when the
// rule deletes), "? " for a conflict left unticked: a start file with the same time as its
// counterpart but another size. With `nullEnds` each path ends with a NUL instead.
// Returns the number of entries.
std::size_t PrintLists(const SyncSession& session, std::FILE* out, bool nullEnds);
