#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <string>

// One file found in a tree. The collections of a load hold references to the same record,
// so a tick made through one list is seen through the others.
struct MyFile {
    bool Selected = false;
    bool IsStart = false; // a start-tree file in the copy list, copied start → target
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;
    DateTime LastWrite = kZeroDate;
    std::string Path; // the folder with its trailing "/", then the name
};
