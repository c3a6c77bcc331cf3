#pragma once

#include <cstdint>

namespace platform {

// What examining one entry tells, in the program's own terms: the interfaces of the platform
// pass this instead of the system's record, so a port or a fake fills it without the system's
// headers.
struct FileInfo {
    enum class Type : std::uint8_t { File, Folder, Link, Other };
    Type type = Type::Other;
    std::uint32_t permissions = 0; // rwx for owner, group and others, set-ID and sticky bits
    std::uint32_t owner = 0;       // the user ID
    std::int64_t size = 0;
    // Nanoseconds since 1970-01-01 00:00 UTC.
    std::int64_t accessNanos = 0;
    std::int64_t writeNanos = 0;
    std::int64_t changeNanos = 0; // the last change of the entry's data or status
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool isFile() const { return type == Type::File; }
    bool isFolder() const { return type == Type::Folder; }
    // The whole seconds of the last-write time, rounded down also before 1970.
    std::int64_t writeSeconds() const {
        return writeNanos >= 0 ? writeNanos / kBillion : -((-writeNanos + kBillion - 1) / kBillion);
    }
    bool ownerMayWrite() const { return (permissions & 0200u) != 0; }

    static constexpr std::int64_t kBillion = 1000000000;
    static constexpr std::uint32_t kSticky = 01000; // only the owner may remove entries
};

} // namespace platform
