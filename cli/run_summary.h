#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct CopyFailure;
struct DeleteFailure;
struct ScanProblem;

// What a run did, for its last lines.
struct RunTotals {
    bool stopped = false;
    std::int64_t copied = 0;
    std::int64_t copiedBytes = 0;
    std::size_t deleted = 0;
    bool intoTrash = false; // the deleted files went into the trash
    std::size_t failed = 0; // copies and deletions
    std::int32_t seconds = 0;
};

void PrintSummary(std::FILE* out, const RunTotals& totals);

// Every file that could not be read, copied or deleted, with its reason; nothing when all
// went well.
void PrintScanProblems(std::FILE* out, const std::vector<ScanProblem>& problems);
void PrintFailures(std::FILE* out, const std::vector<CopyFailure>& copies,
                   const std::vector<DeleteFailure>& deletions);
