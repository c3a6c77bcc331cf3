#include "file_ops.h"

#include <cerrno>
#include <fcntl.h>
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
    const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, length, 0);
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

FileOps& RealFileOps() {
    static FileOps ops;
    return ops;
}

} // namespace platform
