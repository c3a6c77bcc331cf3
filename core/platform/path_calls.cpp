#include "file_copy.h"

#include "file_system.h"

#include <cerrno>
#include <sys/stat.h>

// The path-based stand-ins for the Windows calls of the same names.
namespace platform {
namespace {

mode_t Umask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

} // namespace

int MakeSureDirectoryPathExists(FileOps& ops, const std::string& path) {
    int last = 0;
    for (std::size_t pos = path.find('/', 1); pos != std::string::npos;
         pos = path.find('/', pos + 1)) {
        const int err = ops.Mkdir(path.substr(0, pos), 0777);
        last = err == EEXIST ? 0 : err;
    }
    return last;
}

std::uint32_t GetFileAttributesA(FileOps& ops, const std::string& path) {
    struct stat st {};
    if (ops.Lstat(path, st) != 0)
        return kInvalidFileAttributes;
    return AttributesOfPath(st.st_mode, path);
}

int SetFileAttributesA(FileOps& ops, const std::string& path, std::uint32_t attributes) {
    struct stat st {};
    if (int err = ops.Lstat(path, st); err != 0)
        return err;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return 0;
    mode_t mode = st.st_mode & 07777;
    if (attributes & kAttrReadOnly)
        mode &= ~mode_t(0222);
    else
        mode |= (0222 & ~Umask()) | S_IWUSR;
    if (mode == (st.st_mode & 07777))
        return 0;
    return ops.Chmod(path, mode);
}

} // namespace platform
