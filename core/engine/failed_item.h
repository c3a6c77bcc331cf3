#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Something a load could not read, or a run could not copy or delete: one shape for all three,
// so that every front end lists them the same way.
struct FailedItem {
    enum class Kind : std::uint8_t { Read, Copy, Delete };
    Kind kind = Kind::Copy;
    std::string path;   // what could not be read, copied to (the destination), or deleted
    std::string source; // a copy's source; empty for the other kinds
    int error = 0;      // the errno of the failing call; 0 where no call failed
    std::string reason; // German, for the user
    // Left alone because it changed after the load: no fault, but not done either.
    bool changedSinceLoad = false;
    bool inStartTree = true; // where a read failure lies; copies back count as start tree
};

// The items of one kind, in their order.
std::vector<const FailedItem*> ItemsOf(const std::vector<FailedItem>& items, FailedItem::Kind kind);
