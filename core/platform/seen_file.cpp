#include "seen_file.h"

#include <sys/stat.h>

namespace platform {

FileStamp StampOf(const struct stat& now) {
    constexpr std::int64_t kBillion = 1000000000;
    return {std::int64_t(now.st_mtim.tv_sec) * kBillion + now.st_mtim.tv_nsec,
            std::int64_t(now.st_ctim.tv_sec) * kBillion + now.st_ctim.tv_nsec,
            static_cast<std::uint64_t>(now.st_dev), static_cast<std::uint64_t>(now.st_ino), true};
}

} // namespace platform
