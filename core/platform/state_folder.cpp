#include "state_folder.h"

#include "file_ops.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>

namespace platform {

std::string JournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string folder;
    if (state != nullptr && state[0] == '/')
        folder = state;
    else if (home != nullptr && home[0] == '/')
        folder = std::string(home) + "/.local/state";
    else
        return {};
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/gleichwart";
}

int OpenOrMakeFolder(FileOps& ops, const std::string& path, int& fd) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY;
    int err = ops.Open(path, kFlags, 0, fd);
    if (err != ENOENT || path.empty() || path[0] != '/')
        return err;
    // Each missing folder from the top down, as the desktop makes its own: for the user alone.
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string part = path.substr(0, end);
        err = ops.MkdirAt(AT_FDCWD, part, 0700);
        if (err != 0 && err != EEXIST)
            return err;
        if (end == std::string::npos)
            break;
    }
    return ops.Open(path, kFlags, 0, fd);
}

} // namespace platform
