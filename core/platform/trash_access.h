#pragma once

#include "file_info.h"

#include <string>
#include <vector>

namespace platform {

class FileOps;
struct TrashSpot;

// The entries of trashes that an earlier run put there, for putting them back. Each trash is
// opened once, when first needed, and never through a link.
class TrashAccess {
public:
    explicit TrashAccess(FileOps& ops) : ops_(ops) {}
    ~TrashAccess();
    TrashAccess(const TrashAccess&) = delete;
    TrashAccess& operator=(const TrashAccess&) = delete;

    // Examines the entry itself; ENOENT when it or its trash is no longer there.
    int Stat(const TrashSpot& spot, FileInfo& info);
    // Moves the entry back to the name `name` of the open folder `dirFd`, only while that
    // name is free (EEXIST otherwise); its description goes.
    int Restore(const TrashSpot& spot, int dirFd, const std::string& name);
    // Swaps the entry and `name` of `dirFd` in one step: the entry takes the name, and what
    // had it lies in the trash in the entry's place, under the description that already names
    // where it came from. EINVAL or EOPNOTSUPP where the file system cannot swap.
    int Exchange(const TrashSpot& spot, int dirFd, const std::string& name);
    // Removes the entry and its description from the trash.
    int Remove(const TrashSpot& spot);
    // Removes a description whose entry never came into the trash.
    void ForgetDescription(const TrashSpot& spot);
    // Flushes the file system of every trash opened, so that what was put back stays.
    void FlushAll();

private:
    struct Opened {
        std::string path;
        int files = -1;
        int info = -1;
        int error = 0;
    };
    const Opened& open(const std::string& trash);

    FileOps& ops_;
    std::vector<Opened> trashes_;
};

} // namespace platform
