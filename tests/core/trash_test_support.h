#pragma once

#include "platform/failing_file_ops.h"
#include "platform/file_ops.h"
#include "platform/trash.h"
#include "small_disk.h"
#include "temp_home.h"
#include "tree_builder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// An open folder for the calls that work relative to one; closed at the end of the scope.
class OpenFolder {
public:
    explicit OpenFolder(const std::string& path);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// The permission bits of `path` itself (not of what a link leads to).
unsigned Mode(const std::string& path);

// The user's trash below the test's XDG_DATA_HOME.
std::string HomeTrash();

// The value of `key=` in a trash description; empty when the line is missing.
std::string InfoField(const std::string& info, const std::string& key);
// The bytes that %XX stands for.
std::string PercentDecode(const std::string& encoded);
// Whether a DeletionDate value has the form YYYY-MM-DDThh:mm:ss and lies, as local time,
// within a minute of now.
bool IsRecentDeletionDate(const std::string& value);

// Every entry below `root` that is not a folder, by its path below `root`: a file's content,
// or "-> target" for a link.
std::map<std::string, std::string> Entries(const std::string& root);

// Entries() of several roots in one map, each under its own prefix ("home/...", "tree/...").
std::map<std::string, std::string>
Snapshot(const std::vector<std::pair<std::string, std::string>>& prefixAndRoot);

// One entry handed to the trash: its key in a Snapshot(), the Path= its description must
// hold (decoded), and the errno the call gave for it.
struct TrashAttempt {
    std::string key;
    std::string path;
    int error = 0;
};

// What is wrong with `after` as the outcome of `attempts` on `before`, or "" when all is
// right: each entry with error 0 left its place and lies in a trash ("<trash>/files/<n>")
// unchanged beside a recent description ("<trash>/info/<n>.trashinfo"); each other entry
// failed with `injected` and is untouched; nothing else changed, but for up to `strayInfos`
// descriptions without an entry (when every call fails, even their removal is refused).
std::string TrashOutcomeProblem(const std::map<std::string, std::string>& before,
                                const std::map<std::string, std::string>& after,
                                const std::vector<TrashAttempt>& attempts, int injected,
                                int strayInfos);

// The real calls, logging those that put something on the disk or change a name:
// "create <name>", "link <name>", "hardlink <from>", "rename <from>", "unlink <name>",
// "fsync", "fdatasync", "syncfs".
class CallLog : public platform::FileOps {
public:
    std::vector<std::string> log;
    int OpenAt(int d, const std::string& n, int f, mode_t m, int& fd) override {
        const int err = FileOps::OpenAt(d, n, f, m, fd);
        if (err == 0 && (f & O_CREAT) != 0)
            log.push_back("create " + n);
        return err;
    }
    int LinkTempFileAt(int fd, int d, const std::string& n) override {
        return note("link " + n), FileOps::LinkTempFileAt(fd, d, n);
    }
    int LinkAt(int fd, const std::string& f, int td, const std::string& t) override {
        return note("hardlink " + f), FileOps::LinkAt(fd, f, td, t);
    }
    int RenameAt(int fd, const std::string& f, int td, const std::string& t, unsigned fl) override {
        return note("rename " + f), FileOps::RenameAt(fd, f, td, t, fl);
    }
    int UnlinkAt(int d, const std::string& n, int f) override {
        return note("unlink " + n), FileOps::UnlinkAt(d, n, f);
    }
    int Fsync(int fd) override { return note("fsync"), FileOps::Fsync(fd); }
    int DataSync(int fd) override { return note("fdatasync"), FileOps::DataSync(fd); }
    int SyncFileSystemOf(int fd) override { return note("syncfs"), FileOps::SyncFileSystemOf(fd); }

private:
    void note(const std::string& call) { log.push_back(call); }
};
