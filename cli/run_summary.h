#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct FailedItem;
struct RunResult;

// What a run did, for its last lines: `stopped` by the user, the deleted files moved
// `intoTrash`, the whole command took `seconds`.
void PrintSummary(std::FILE* out, const RunResult& result, bool stopped, bool intoTrash,
                  std::int32_t seconds);

// Every folder or file that could not be read, copied or deleted, with its reason, each kind
// under a heading of its own; nothing when all went well.
void PrintFailures(std::FILE* out, const std::vector<FailedItem>& items);
