#pragma once

#include "date_time.h"
#include "file_info.h"

#include <cstdint>

namespace platform {

// What tells one version of a file from another where size and whole seconds agree: an edit
// within the same second moves the change time (and mostly the nanoseconds of the last-write
// time), a file written anew and renamed into place has another inode.
struct FileStamp {
    std::int64_t writeNanos = 0;  // last-write time, nanoseconds since 1970
    std::int64_t changeNanos = 0; // status change time, the same
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known = false;
    bool operator==(const FileStamp&) const = default;
};

// The exact times and identity of a file as examined now.
inline FileStamp StampOf(const FileInfo& now) {
    return {now.writeNanos, now.changeNanos, now.device, now.inode, true};
}

// What the comparison saw where a copy goes. A copy only lands on exactly that: a file that
// appeared, vanished or changed since then is left alone.
struct SeenDestination {
    // Link: a symbolic link, compared as a file is when the rule takes links. Other: neither
    // a regular file, a folder nor a link (a pipe, a socket, a device).
    enum class Kind : std::uint8_t { Absent, File, Folder, Other, Unknown, Link };
    SeenDestination() = default;
    SeenDestination(Kind k, std::int64_t bytes = 0, DateTime time = kZeroDate, FileStamp exact = {})
        : kind(k), size(bytes), lastWrite(time), stamp(exact) {}
    Kind kind = Kind::Unknown;
    std::int64_t size = 0;
    DateTime lastWrite = kZeroDate;
    // Taken for the files the run will replace or delete; without it only the size and the
    // whole seconds are compared.
    FileStamp stamp;
};

} // namespace platform
