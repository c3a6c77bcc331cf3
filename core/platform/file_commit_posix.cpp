// The second half of a copy: a staged copy takes its destination's name.
#include "file_copy.h"

#include "trash_collection.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <mutex>
#include <vector>

namespace platform {
namespace {

CopyResult Fail(int err, const StagedCopy& staged) {
    return {err, CopySide::Destination, staged.destination.path};
}

CopyResult Changed(const StagedCopy& staged) {
    return {0, CopySide::Destination, staged.destination.path, CopyProblem::DestinationChanged};
}

// Gives an unnamed staged file a temporary name beside its destination.
int NameUnnamed(FileOps& ops, StagedCopy& staged) {
    const int dirFd = staged.destination.folder->fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = NewTemporaryName();
        const int err = ops.LinkTempFileAt(staged.fd, dirFd, name);
        if (err == 0) {
            staged.temporary = name;
            return 0;
        }
        if (err != EEXIST)
            return err;
    }
    return EEXIST;
}

// The file systems (by device) whose rename refused RENAME_NOREPLACE, such as sshfs: asked once,
// since on a network every refusal costs a round trip. Copies may commit on several threads.
class NoReplaceRefused {
public:
    bool has(std::uint64_t device) {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::find(devices_.begin(), devices_.end(), device) != devices_.end();
    }
    void add(std::uint64_t device) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(devices_.begin(), devices_.end(), device) == devices_.end())
            devices_.push_back(device);
    }

private:
    std::mutex mutex_;
    std::vector<std::uint64_t> devices_;
};

// Renames the named staged copy to a name that must be free; EEXIST when it is taken. Where the
// file system cannot refuse to replace, the name is looked at just before.
int RenameToFreeName(FileOps& ops, const StagedCopy& staged, const std::string& to) {
    static NoReplaceRefused refused;
    const int dirFd = staged.destination.folder->fd;
    const std::uint64_t device = staged.written.device;
    int err = EINVAL;
    if (!refused.has(device)) {
        err = ops.RenameAt(dirFd, staged.temporary, dirFd, to, RENAME_NOREPLACE);
        if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP)
            refused.add(device);
        else
            return err;
    }
    FileInfo st;
    return ops.StatAt(dirFd, to, st) == 0 ? EEXIST
                                          : ops.RenameAt(dirFd, staged.temporary, dirFd, to, 0);
}

CopyResult CommitNew(FileOps& ops, StagedCopy& staged) {
    const int dirFd = staged.destination.folder->fd;
    // A new file takes only a free name: one that appeared since the load is not ours.
    int err = 0;
    if (staged.fd >= 0) {
        err = ops.LinkTempFileAt(staged.fd, dirFd, staged.destination.name);
    } else {
        err = RenameToFreeName(ops, staged, staged.destination.name);
        if (err == 0)
            staged.temporary.clear();
    }
    if (err == EEXIST)
        return Changed(staged);
    return err != 0 ? Fail(err, staged) : CopyResult{};
}

// The old file is kept in the trash place `slot` before the copy takes its name. Where the
// disk keeps second names the old file is hard-linked there and the name is never missing.
// Where it does not (FAT, exFAT), the old file is moved into the trash first and the copy
// takes the free name right after: a crash between the two leaves the old version in the
// trash and the name missing; the run's journal names the replacement before either step,
// so undoing the run puts the old version back.
int KeepAndReplace(FileOps& ops, StagedCopy& staged, TrashCollection& keep, std::size_t slot) {
    const int dirFd = staged.destination.folder->fd;
    const std::string& name = staged.destination.name;
    bool moved = false;
    if (const int err = keep.Keep(slot, moved); err != 0)
        return err;
    const int err = moved ? RenameToFreeName(ops, staged, name)
                          : ops.RenameAt(dirFd, staged.temporary, dirFd, name, 0);
    if (err != 0)
        keep.Undo(slot, moved);
    return err;
}

CopyResult CommitReplacement(FileOps& ops, StagedCopy& staged, TrashCollection* keep,
                             std::size_t slot) {
    const int dirFd = staged.destination.folder->fd;
    FileInfo now;
    const int err = ops.StatAt(dirFd, staged.destination.name, now);
    if (err != 0 && err != ENOENT)
        return Fail(err, staged);
    if (err != 0 || !StillAsSeen(now, staged.seen))
        return Changed(staged);
    if (const int e = staged.fd >= 0 ? NameUnnamed(ops, staged) : 0; e != 0)
        return Fail(e, staged);
    const int r = keep != nullptr
                      ? KeepAndReplace(ops, staged, *keep, slot)
                      : ops.RenameAt(dirFd, staged.temporary, dirFd, staged.destination.name, 0);
    if (r != 0)
        return Fail(r, staged);
    staged.temporary.clear();
    return {};
}

} // namespace

CopyResult CommitStaged(FileOps& ops, StagedCopy& staged, TrashCollection* keep, std::size_t slot) {
    const CopyResult result = staged.seen.kind == SeenDestination::Kind::Absent
                                  ? CommitNew(ops, staged)
                                  : CommitReplacement(ops, staged, keep, slot);
    DiscardStaged(ops, staged); // closes the unnamed file; removes a name that was not used
    return result;
}

void DiscardStaged(FileOps& ops, StagedCopy& staged) {
    if (staged.fd >= 0) {
        ops.Close(staged.fd); // a nameless file is gone with its last descriptor
        staged.fd = -1;
    }
    if (!staged.temporary.empty() && staged.destination.folder) {
        ops.UnlinkAt(staged.destination.folder->fd, staged.temporary, 0);
        staged.temporary.clear();
    }
}

} // namespace platform
