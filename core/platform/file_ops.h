#pragma once

#include "file_info.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The system calls the synchronisation run makes, one virtual call each, so that a test can
// make any one of them fail. Every call returns 0 or the errno of its failure.
class FileOps {
public:
    virtual ~FileOps() = default;
    // `flags` are the system's open flags; `mode` the permissions of a file it makes.
    virtual int Open(const std::string& path, int flags, std::uint32_t mode, int& fd);
    virtual int Close(int fd);
    virtual int Fstat(int fd, FileInfo& info);
    // Examines the path itself; a link in its last component is not followed.
    virtual int Lstat(const std::string& path, FileInfo& info);
    // Copies up to `length` bytes inside the kernel; `copied` 0 means the end of the source.
    virtual int CopyRange(int in, int out, std::size_t length, std::size_t& copied);
    virtual int Read(int fd, void* buffer, std::size_t length, std::size_t& got);
    // pread: reads from `offset` without moving the file's position.
    virtual int ReadAt(int fd, void* buffer, std::size_t length, std::int64_t offset,
                       std::size_t& got);
    virtual int Write(int fd, const void* buffer, std::size_t length, std::size_t& written);
    virtual int Fchmod(int fd, std::uint32_t mode);
    // Sets the last-access and last-write times, in nanoseconds since 1970.
    virtual int Futimens(int fd, std::int64_t accessNanos, std::int64_t writeNanos);

    // The same calls relative to an open folder, so that no link on the way to the folder
    // is followed again. `name` is one path component.
    virtual int OpenAt(int dirFd, const std::string& name, int flags, std::uint32_t mode, int& fd);
    // fstatat without following a link in the last component.
    virtual int StatAt(int dirFd, const std::string& name, FileInfo& info);
    virtual int MkdirAt(int dirFd, const std::string& name, std::uint32_t mode);
    // The target text of the symbolic link `name`.
    virtual int ReadLinkAt(int dirFd, const std::string& name, std::string& target);
    // Makes the symbolic link `name` with the target text `target`.
    virtual int SymlinkAt(const std::string& target, int dirFd, const std::string& name);
    // Sets the times of `name` itself: a link is not followed.
    virtual int SetTimesAt(int dirFd, const std::string& name, std::int64_t accessNanos,
                           std::int64_t writeNanos);
    // renameat2; `flags` 0 or RENAME_NOREPLACE.
    virtual int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to,
                         unsigned flags);
    // Gives a file opened with O_TMPFILE the name `name` in the folder; EEXIST when taken.
    virtual int LinkTempFileAt(int fd, int dirFd, const std::string& name);
    // linkat: a second name `to` for the entry `from` itself (a link is not followed).
    virtual int LinkAt(int fromDir, const std::string& from, int toDir, const std::string& to);
    // unlinkat; `flags` 0 or AT_REMOVEDIR.
    virtual int UnlinkAt(int dirFd, const std::string& name, int flags);
    // The names in an open folder, without "." and "..", in the order the kernel gives them.
    virtual int ListNames(int dirFd, std::vector<std::string>& names);
    // syncfs: writes everything of the file system that holds the open file to the disk.
    virtual int SyncFileSystemOf(int fd);
    // fsync, for a folder whose entries must reach the disk, or a file whose file system
    // cannot be flushed as a whole.
    virtual int Fsync(int fd);
    // fdatasync: the data of an open file, and its size, reach the disk.
    virtual int DataSync(int fd);
    // fstatfs: the type of the file system that holds the open file.
    virtual int FileSystemType(int fd, std::uint32_t& magic);
};

// The calls as the kernel answers them.
FileOps& RealFileOps();

// The birth time of an open file or folder (nanoseconds), 0 where it is not kept.
std::int64_t BirthOf(int fd);
// Whether the file at `path` opens for reading, or for appending with `forWriting`, without
// waiting on a pipe: 0 or the errno.
int TryOpen(FileOps& ops, const std::string& path, bool forWriting);
// The path made absolute against the working folder, unchanged when it already is.
std::string AbsolutePath(const std::string& path);

} // namespace platform
