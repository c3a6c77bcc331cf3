#pragma once

#include "engine/failed_item.h"
#include "engine/sync_session.h"
#include "platform/file_system.h"

#include <string>
#include <vector>

// What a load holds, as lines: how many files each scan reported, each record of both lists
// with its size, time and attribute bits, then what could not be read.
std::vector<std::string> Described(const SyncSession& s, const std::vector<FailedItem>& problems);

// A load's session and what it could not read.
struct LoadedTrees {
    SyncSession session;
    std::vector<FailedItem> problems;
};

// The load of `like`'s paths under its rule as one thread does it: the start tree, then the
// target tree, then the comparison. Its result is what the threaded load must give.
LoadedTrees LoadOnOneThread(const SyncSession& like, platform::FileSystem& fs);
