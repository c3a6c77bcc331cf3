#pragma once

#include "date_time.h"

#include <cstdint>

namespace platform {

// What the comparison saw where a copy goes. A copy only lands on exactly that: a file that
// appeared, vanished or changed since then is left alone.
struct SeenDestination {
    // Other: something that is neither a regular file nor a folder (a link, a pipe).
    enum class Kind : std::uint8_t { Absent, File, Folder, Other, Unknown };
    Kind kind = Kind::Unknown;
    std::int64_t size = 0;
    DateTime lastWrite = kZeroDate;
};

} // namespace platform
