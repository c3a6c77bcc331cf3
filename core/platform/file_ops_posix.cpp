#include "file_ops.h"

#include "stat_posix.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace platform {

FileInfo InfoFromStat(const struct stat& st) {
    FileInfo info;
    info.type = S_ISREG(st.st_mode)   ? FileInfo::Type::File
                : S_ISDIR(st.st_mode) ? FileInfo::Type::Folder
                : S_ISLNK(st.st_mode) ? FileInfo::Type::Link
                                      : FileInfo::Type::Other;
    info.permissions = static_cast<std::uint32_t>(st.st_mode & 07777);
    info.owner = static_cast<std::uint32_t>(st.st_uid);
    info.size = st.st_size;
    const auto nanos = [](const timespec& t) {
        return std::int64_t(t.tv_sec) * FileInfo::kBillion + t.tv_nsec;
    };
    info.accessNanos = nanos(st.st_atim);
    info.writeNanos = nanos(st.st_mtim);
    info.changeNanos = nanos(st.st_ctim);
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    return info;
}

namespace {

int Examined(int result, const struct stat& st, FileInfo& info) {
    if (result != 0)
        return errno;
    info = InfoFromStat(st);
    return 0;
}

timespec Timespec(std::int64_t nanos) {
    // Rounded down also before 1970: the nanoseconds of a timespec are never negative.
    std::int64_t seconds = nanos / FileInfo::kBillion;
    std::int64_t rest = nanos % FileInfo::kBillion;
    if (rest < 0) {
        rest += FileInfo::kBillion;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest)};
}

} // namespace

int FileOps::Open(const std::string& path, int flags, std::uint32_t mode, int& fd) {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    return fd < 0 ? errno : 0;
}

int FileOps::Close(int fd) {
    return ::close(fd) != 0 ? errno : 0;
}

int FileOps::Fstat(int fd, FileInfo& info) {
    struct stat st {};
    return Examined(::fstat(fd, &st), st, info);
}

int FileOps::Lstat(const std::string& path, FileInfo& info) {
    struct stat st {};
    return Examined(::lstat(path.c_str(), &st), st, info);
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

int FileOps::ReadAt(int fd, void* buffer, std::size_t length, std::int64_t offset,
                    std::size_t& got) {
    got = 0;
    ssize_t n;
    do
        n = ::pread(fd, buffer, length, static_cast<off_t>(offset));
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

int FileOps::Fchmod(int fd, std::uint32_t mode) {
    return ::fchmod(fd, static_cast<mode_t>(mode)) != 0 ? errno : 0;
}

int FileOps::Futimens(int fd, std::int64_t accessNanos, std::int64_t writeNanos) {
    const timespec times[2] = {Timespec(accessNanos), Timespec(writeNanos)};
    return ::futimens(fd, times) != 0 ? errno : 0;
}

int FileOps::OpenAt(int dirFd, const std::string& name, int flags, std::uint32_t mode, int& fd) {
    do
        fd = ::openat(dirFd, name.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? errno : 0;
}

int FileOps::StatAt(int dirFd, const std::string& name, FileInfo& info) {
    struct stat st {};
    return Examined(::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW), st, info);
}

int FileOps::MkdirAt(int dirFd, const std::string& name, std::uint32_t mode) {
    return ::mkdirat(dirFd, name.c_str(), mode) != 0 ? errno : 0;
}

int FileOps::ReadLinkAt(int dirFd, const std::string& name, std::string& target) {
    // The size the examination gives may be stale or 0 (procfs): grow until the text fits.
    std::string buffer(256, '\0');
    while (true) {
        const ssize_t n = ::readlinkat(dirFd, name.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return errno;
        if (std::size_t(n) < buffer.size()) {
            target.assign(buffer.data(), std::size_t(n));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int FileOps::SymlinkAt(const std::string& target, int dirFd, const std::string& name) {
    return ::symlinkat(target.c_str(), dirFd, name.c_str()) == 0 ? 0 : errno;
}

int FileOps::SetTimesAt(int dirFd, const std::string& name, std::int64_t accessNanos,
                        std::int64_t writeNanos) {
    const timespec times[2] = {Timespec(accessNanos), Timespec(writeNanos)};
    return ::utimensat(dirFd, name.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
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

int FileOps::LinkAt(int fromDir, const std::string& from, int toDir, const std::string& to) {
    return ::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0 ? errno : 0;
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

int FileOps::DataSync(int fd) {
    return ::fdatasync(fd) != 0 ? errno : 0;
}

int FileOps::FileSystemType(int fd, std::uint32_t& magic) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return errno;
    magic = static_cast<std::uint32_t>(fs.f_type);
    return 0;
}

FileOps& RealFileOps() {
    static FileOps ops;
    return ops;
}

std::int64_t BirthOf(int fd) {
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &sx) != 0 || (sx.stx_mask & STATX_BTIME) == 0)
        return 0;
    return static_cast<std::int64_t>(sx.stx_btime.tv_sec) * 1000000000 + sx.stx_btime.tv_nsec;
}

int TryOpen(FileOps& ops, const std::string& path, bool forWriting) {
    int fd = -1;
    const int flags = (forWriting ? O_WRONLY | O_APPEND : O_RDONLY) | O_NONBLOCK;
    if (int err = ops.Open(path, flags, 0, fd); err != 0)
        return err;
    ops.Close(fd);
    return 0;
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::string folder(4096, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE)
            return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    if (folder.back() != '/')
        folder += '/';
    return path.empty() ? folder : folder + path;
}

} // namespace platform
