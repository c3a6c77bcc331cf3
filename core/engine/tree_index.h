#pragma once

#include "sync_session.h"

#include <cstdint>
#include <string_view>
#include <vector>

// Finds a scanned file of one tree by its path relative to the tree's root, so that the
// comparison asks the file system only about files the scan did not see.
class TreeIndex {
public:
    // `rootLength`: how many leading characters of every folder belong to the root.
    TreeIndex(const FileList& files, std::size_t rootLength);

    // The record at that relative folder (ending in "/", or empty) and name, or null.
    const MyFile* find(std::string_view relativeFolder, std::string_view name) const;

private:
    std::uint64_t hash(std::string_view folder, std::string_view name) const;

    const FileList& files_;
    std::size_t rootLength_;
    std::vector<std::uint32_t> slots_; // 1 + position in files_, 0 for a free slot
    std::size_t mask_ = 0;
};
