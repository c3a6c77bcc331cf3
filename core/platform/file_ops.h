#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace platform {

// The system calls the synchronisation run makes, one virtual call each, so that a test can
// make any one of them fail. Every call returns 0 or the errno of its failure.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual int Open(const std::string& path, int flags, mode_t mode, int& fd);
    virtual int Close(int fd);
    virtual int Fstat(int fd, struct stat& st);
    virtual int Lstat(const std::string& path, struct stat& st);
    // Copies up to `length` bytes inside the kernel; `copied` 0 means the end of the source.
    virtual int CopyRange(int in, int out, std::size_t length, std::size_t& copied);
    virtual int Read(int fd, void* buffer, std::size_t length, std::size_t& got);
    virtual int Write(int fd, const void* buffer, std::size_t length, std::size_t& written);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Futimens(int fd, const struct timespec times[2]);
    virtual int Fdatasync(int fd);
    virtual int Rename(const std::string& from, const std::string& to);
    // Gives a file opened with O_TMPFILE the name `path`.
    virtual int LinkTempFile(int fd, const std::string& path);
    virtual int Unlink(const std::string& path);
    virtual int Mkdir(const std::string& path, mode_t mode);
    virtual int Chmod(const std::string& path, mode_t mode);
    // Writes everything of the file system that holds `path` to the disk.
    virtual int SyncFileSystem(const std::string& path);

    // The same calls relative to an open folder, so that no link on the way to the folder
    // is followed again. `name` is one path component.
    virtual int OpenAt(int dirFd, const std::string& name, int flags, mode_t mode, int& fd);
    // fstatat without following a link in the last component.
    virtual int StatAt(int dirFd, const std::string& name, struct stat& st);
    virtual int MkdirAt(int dirFd, const std::string& name, mode_t mode);
    // renameat2; `flags` 0 or RENAME_NOREPLACE.
    virtual int RenameAt(int fromDir, const std::string& from, int toDir, const std::string& to,
                         unsigned flags);
    // Gives a file opened with O_TMPFILE the name `name` in the folder; EEXIST when taken.
    virtual int LinkTempFileAt(int fd, int dirFd, const std::string& name);
    // unlinkat; `flags` 0 or AT_REMOVEDIR.
    virtual int UnlinkAt(int dirFd, const std::string& name, int flags);
    // The names in an open folder, without "." and "..", in the order the kernel gives them.
    virtual int ListNames(int dirFd, std::vector<std::string>& names);
    // syncfs: writes everything of the file system that holds the open file to the disk.
    virtual int SyncFileSystemOf(int fd);
    // fsync, for a folder whose entries must reach the disk.
    virtual int Fsync(int fd);
};

// The calls as the kernel answers them.
FileOps& RealFileOps();

} // namespace platform
