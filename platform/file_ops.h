#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

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
};

// The calls as the kernel answers them.
FileOps& RealFileOps();

} // namespace platform
