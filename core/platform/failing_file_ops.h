#pragma once

// For tests and benchmarks only: the program itself never makes one. It sits beside the
// interface it wraps so that both can inject the same failures without a copy each.
#include "platform/file_ops.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>

// The statfs type the run tests answer for every file: 0 (the real one), or that of sshfs when
// they run a second time with GLEICHWART_TEST_WAITING_DEVICE set, so that the same tests go
// through the run's copies and deletions in flight on several threads.
inline std::uint32_t FileSystemTypeUnderTest() {
    return std::getenv("GLEICHWART_TEST_WAITING_DEVICE") != nullptr ? 0x65735546u : 0u;
}

// The real calls, but call number `failAt` (counted from 1 over every call) fails with
// `error` without touching anything. 0 fails nothing. With `persist`, every call after the
// first failure fails too, as on a disk that stays full. Calls may come from several threads.
class FailingOps : public platform::FileOps {
public:
    int failAt = 0;
    int error = EIO;
    bool noUnnamedFiles = false; // as on a file system without O_TMPFILE
    // The statfs type every file is on; 0 for the real one.
    std::uint32_t fileSystemType = FileSystemTypeUnderTest();
    std::atomic<int> fileSyncs{0};       // Fsync calls, files and folders
    std::atomic<int> fileSystemSyncs{0}; // SyncFileSystemOf calls
    std::atomic<int> calls{0};
    std::atomic<bool> failed{false};
    bool persist = false;

    int Open(const std::string& p, int f, std::uint32_t m, int& fd) override {
        if (noUnnamedFiles && (f & O_TMPFILE) == O_TMPFILE)
            return fd = -1, EOPNOTSUPP;
        return hit() ? (fd = -1, error) : FileOps::Open(p, f, m, fd);
    }
    int Close(int fd) override {
        if (hit()) {
            FileOps::Close(fd); // the descriptor is gone either way, as with a real EIO
            return error;
        }
        return FileOps::Close(fd);
    }
    int Fstat(int fd, platform::FileInfo& st) override {
        return hit() ? error : FileOps::Fstat(fd, st);
    }
    int Lstat(const std::string& p, platform::FileInfo& st) override {
        return hit() ? error : FileOps::Lstat(p, st);
    }
    int CopyRange(int in, int out, std::size_t n, std::size_t& c) override {
        return hit() ? (c = 0, error) : FileOps::CopyRange(in, out, n, c);
    }
    int Read(int fd, void* b, std::size_t n, std::size_t& g) override {
        return hit() ? (g = 0, error) : FileOps::Read(fd, b, n, g);
    }
    int Write(int fd, const void* b, std::size_t n, std::size_t& w) override {
        return hit() ? (w = 0, error) : FileOps::Write(fd, b, n, w);
    }
    int Fchmod(int fd, std::uint32_t m) override { return hit() ? error : FileOps::Fchmod(fd, m); }
    int Futimens(int fd, std::int64_t a, std::int64_t w) override {
        return hit() ? error : FileOps::Futimens(fd, a, w);
    }

    int OpenAt(int d, const std::string& n, int f, std::uint32_t m, int& fd) override {
        if (noUnnamedFiles && (f & O_TMPFILE) == O_TMPFILE)
            return fd = -1, EOPNOTSUPP;
        return hit() ? (fd = -1, error) : FileOps::OpenAt(d, n, f, m, fd);
    }
    int StatAt(int d, const std::string& n, platform::FileInfo& st) override {
        return hit() ? error : FileOps::StatAt(d, n, st);
    }
    int MkdirAt(int d, const std::string& n, std::uint32_t m) override {
        return hit() ? error : FileOps::MkdirAt(d, n, m);
    }
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        return hit() ? error : FileOps::RenameAt(fd, f, td, t, fl);
    }
    int LinkTempFileAt(int fd, int d, const std::string& n) override {
        return hit() ? error : FileOps::LinkTempFileAt(fd, d, n);
    }
    int LinkAt(int fd, const std::string& f, int td, const std::string& t) override {
        return hit() ? error : FileOps::LinkAt(fd, f, td, t);
    }
    int UnlinkAt(int d, const std::string& n, int f) override {
        return hit() ? error : FileOps::UnlinkAt(d, n, f);
    }
    int ListNames(int d, std::vector<std::string>& n) override {
        return hit() ? error : FileOps::ListNames(d, n);
    }
    int DataSync(int fd) override { return hit() ? error : FileOps::DataSync(fd); }
    int SyncFileSystemOf(int fd) override {
        ++fileSystemSyncs;
        return hit() ? error : FileOps::SyncFileSystemOf(fd);
    }
    int Fsync(int fd) override {
        ++fileSyncs;
        return hit() ? error : FileOps::Fsync(fd);
    }
    int FileSystemType(int fd, std::uint32_t& magic) override {
        if (hit())
            return error;
        const int err = FileOps::FileSystemType(fd, magic);
        if (fileSystemType != 0)
            magic = fileSystemType;
        return err;
    }

private:
    bool hit() {
        const int call = ++calls;
        if (failAt > 0 && (call == failAt || (persist && call > failAt))) {
            failed = true;
            return true;
        }
        return false;
    }
};
