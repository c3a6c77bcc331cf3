#pragma once

#include "my_file.h"
#include "rules/sync_rule.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

using FileList = std::vector<MyFile*>;

// Everything one load and one run work on. The records live in the session's store and the
// four lists refer to them, so a record is shared by every list that holds it; a new load
// releases them all at once.
struct SyncSession {
    std::string StartPath; // as typed when loading began
    std::string TargetPath;
    FileList StartFiles;
    FileList TargetFiles;
    FileList CopyList;
    FileList DeleteList;
    SyncRule CurrentRule;
    bool AbortRequested = false;
    std::int64_t TotalSize = 0;
    std::int64_t DoneSize = 0;
    std::uint32_t StartTicks = 0;

    // A record kept by the session for as long as the lists of this load live.
    MyFile* NewRecord();
    // Four new, empty collections; the records of the last load are released.
    void ResetCollections();
    std::size_t RecordCount() const { return records_.size(); }

private:
    std::deque<MyFile> records_;
};

// The ticked entries of a list and their total size.
struct SelectionTotals {
    std::int64_t count = 0;
    std::int64_t bytes = 0;
};
SelectionTotals SelectedTotals(const FileList& list);
