#include "file_system.h"

#include <cerrno>

namespace platform {

int FileSystem::ListDirectoryUntil(const std::string& folder, std::vector<DirEntry>& entries,
                                   const std::atomic<bool>& /*stop*/) {
    return ListDirectory(folder, entries);
}

bool FileSystem::IsFileSystemTop(const std::string& /*folder*/) {
    return false;
}

int FileSystem::ListingsInFlight(const std::string& /*root*/) {
    return 1;
}

int FileSystem::ListingsInFlightWhenWaiting(const std::string& /*root*/) {
    return 1;
}

bool FileState::missing() const {
    return error == ENOENT || error == ENOTDIR;
}

bool AttributeResult::missing() const {
    return error == ENOENT || error == ENOTDIR;
}

} // namespace platform
