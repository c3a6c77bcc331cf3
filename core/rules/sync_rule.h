#pragma once

#include <cstdint>
#include <string>

// One named rule: when a start file is copied, what happens on the target side, and which
// files take part.
struct SyncRule {
    std::string Name;
    std::int32_t ReverseAction = 0; // 0 nothing, 1..3 copy back, 4 trash, 5 delete for good
    std::int32_t CopyCondition = 0; // 0 missing or older, 1 missing, 2 older
    bool IncludeSubfolders = false;
    bool SystemFiles = false;
    bool HiddenFiles = false;
    bool ReadOnlyFiles = false;

    bool operator==(const SyncRule&) const = default;
};
