#pragma once

#include "record_store.h"

#include <cstddef>
#include <string_view>

// Scan order: -1, 0 or 1 as the files of relative folder `a` come before, with or after those
// of `b` in a scan (all files of a folder before its subfolders, subfolders in listing order).
// Relative folders are "" or components each ending in "/".
int CompareFolders(std::string_view a, std::string_view b);

// Finds the counterparts of one tree's files among the scanned files of the other in a single
// pass: both trees come out of their scans in the same order, so the other tree's records are
// walked alongside. Asked out of that order, it misses, and the caller asks the file system.
class CounterpartCursor {
public:
    // `rootLength`: how many leading characters of every folder belong to the root.
    CounterpartCursor(const RecordStore& files, std::size_t rootLength)
        : at_(files.begin()), rootLength_(rootLength) {}

    // The record at that relative folder and name, or null. `folderKey` is the same pointer
    // for every file of one folder (its folder's text), so folders are compared once each.
    const MyFile* find(std::string_view relativeFolder, std::string_view name,
                       const void* folderKey);

private:
    RecordStore::iterator at_;
    std::size_t rootLength_;
    const void* mineKey_ = nullptr;
    const void* otherKey_ = nullptr;
    int folderOrder_ = 0;
};
