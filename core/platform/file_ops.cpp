#include "file_ops.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace platform {

int FileOps::Open(const std::string& path, int flags, mode_t mode, int& fd) {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    return fd < 0 ? errno : 0;
}

int FileOps::Close(int fd) {
    return ::close(fd) != 0 ? errno : 0;
}

int FileOps::Fstat(int fd, struct stat& st) {
    return ::fstat(fd, &st) != 0 ? errno : 0;
}

int FileOps::Lstat(const std::string& path, struct stat& st) {
    return ::lstat(path.c_str(), &st) != 0 ? errno : 0;
}

int FileOps::CopyRange(int in, int out, std::size_t length, std::size_t& copied) {
    copied = 0;
    ssize_t n;
    do
        n = ::copy_file_range(in, nullptr, out, nullptr, length, 0);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    copied = static_cast<std::size_t>(n);
    return 0;
}

int FileOps::Read(int fd, void* buffer, std::size_t length, std::size_t& got) {
    got = 0;
    ssize_t n;
    do
        n = ::read(fd, buffer, length);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    got = static_cast<std::size_t>(n);
    return 0;
}

int FileOps::Write(int fd, const void* buffer, std::size_t length, std::size_t& written) {
    written = 0;
    ssize_t n;
    do
        n = ::write(fd, buffer, length);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return errno;
    written = static_cast<std::size_t>(n);
    return 0;
}

int FileOps::Fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode) != 0 ? errno : 0;
}

int FileOps::Futimens(int fd, const struct timespec times[2]) {
    return ::futimens(fd, times) != 0 ? errno : 0;
}

int FileOps::Fdatasync(int fd) {
    return ::fdatasync(fd) != 0 ? errno : 0;
}

int FileOps::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
}

int FileOps::LinkTempFile(int fd, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0 ? errno
                                                                                            : 0;
}

int FileOps::Unlink(const std::string& path) {
    return ::unlink(path.c_str()) != 0 ? errno : 0;
}

int FileOps::Mkdir(const std::string& path, mode_t mode) {
    return ::mkdir(path.c_str(), mode) != 0 ? errno : 0;
}

int FileOps::Chmod(const std::string& path, mode_t mode) {
    return ::chmod(path.c_str(), mode) != 0 ? errno : 0;
}

int FileOps::SyncFileSystem(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int err = ::syncfs(fd) != 0 ? errno : 0;
    ::close(fd);
    return err;
}

int FileOps::OpenAt(int dirFd, const std::string& name, int flags, mode_t mode, int& fd) {
    do
        fd = ::openat(dirFd, name.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? errno : 0;
}

int FileOps::StatAt(int dirFd, const std::string& name, struct stat& st) {
    return ::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ? errno : 0;
}

int FileOps::MkdirAt(int dirFd, const std::string& name, mode_t mode) {
    return ::mkdirat(dirFd, name.c_str(), mode) != 0 ? errno : 0;
}

int FileOps::RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to,
                      unsigned flags) {
    return ::renameat2(fromDir, from.c_str(), toDir, to.c_str(), flags) != 0 ? errno : 0;
}

int FileOps::LinkTempFileAt(int fd, int dirFd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) != 0 ? errno
                                                                                         : 0;
}

int FileOps::UnlinkAt(int dirFd, const std::string& name, int flags) {
    return ::unlinkat(dirFd, name.c_str(), flags) != 0 ? errno : 0;
}

int FileOps::ListNames(int dirFd, std::vector<std::string>& names) {
    names.clear();
    // A folder stream of its own, so that the caller's descriptor keeps its position.
    const int own = ::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return errno;
    DIR* dir = ::fdopendir(own);
    if (dir == nullptr) {
        const int err = errno;
        ::close(own);
        return err;
    }
    int err = 0;
    while (true) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (d == nullptr) {
            err = errno;
            break;
        }
        const char* n = d->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        names.emplace_back(n);
    }
    ::closedir(dir);
    return err;
}

int FileOps::SyncFileSystemOf(int fd) {
    return ::syncfs(fd) != 0 ? errno : 0;
}

int FileOps::Fsync(int fd) {
    return ::fsync(fd) != 0 ? errno : 0;
}

FileOps& RealFileOps() {
    static FileOps ops;
    return ops;
}

} // namespace platform
