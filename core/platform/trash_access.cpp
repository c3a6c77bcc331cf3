#include "trash_access.h"

#include "file_ops.h"
#include "trash_batch.h"
#include "trash_names.h"

#include <cerrno>
#include <fcntl.h>

namespace platform {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW;

std::string InfoOf(const TrashSpot& spot) {
    return spot.name + std::string(kTrashInfoSuffix);
}

} // namespace

TrashAccess::~TrashAccess() {
    for (Opened& t : trashes_) {
        if (t.files >= 0)
            ops_.Close(t.files);
        if (t.info >= 0)
            ops_.Close(t.info);
    }
}

const TrashAccess::Opened& TrashAccess::open(const std::string& trash) {
    for (const Opened& t : trashes_) {
        if (t.path == trash)
            return t;
    }
    Opened& t = trashes_.emplace_back();
    t.path = trash;
    int top = -1;
    t.error = trash.empty() || trash[0] != '/' ? EINVAL : ops_.Open(trash, kFolderFlags, 0, top);
    if (t.error == 0)
        t.error = ops_.OpenAt(top, "files", kFolderFlags, 0, t.files);
    if (t.error == 0)
        t.error = ops_.OpenAt(top, "info", kFolderFlags, 0, t.info);
    if (top >= 0)
        ops_.Close(top);
    return t;
}

int TrashAccess::Stat(const TrashSpot& spot, FileInfo& info) {
    const Opened& t = open(spot.trash);
    if (t.error != 0)
        return t.error;
    return ops_.StatAt(t.files, spot.name, info);
}

int TrashAccess::Restore(const TrashSpot& spot, int dirFd, const std::string& name) {
    const Opened& t = open(spot.trash);
    if (t.error != 0)
        return t.error;
    int err = ops_.RenameAt(t.files, spot.name, dirFd, name, RENAME_NOREPLACE);
    if (err == EINVAL) {
        // File systems that cannot refuse to replace: look first, then rename.
        FileInfo st;
        err = ops_.StatAt(dirFd, name, st);
        err = err == 0        ? EEXIST
              : err == ENOENT ? ops_.RenameAt(t.files, spot.name, dirFd, name, 0)
                              : err;
    }
    if (err == 0)
        ops_.UnlinkAt(t.info, InfoOf(spot), 0);
    return err;
}

int TrashAccess::Exchange(const TrashSpot& spot, int dirFd, const std::string& name) {
    const Opened& t = open(spot.trash);
    if (t.error != 0)
        return t.error;
    return ops_.RenameAt(t.files, spot.name, dirFd, name, RENAME_EXCHANGE);
}

int TrashAccess::Remove(const TrashSpot& spot) {
    const Opened& t = open(spot.trash);
    if (t.error != 0)
        return t.error;
    const int err = ops_.UnlinkAt(t.files, spot.name, 0);
    if (err == 0)
        ops_.UnlinkAt(t.info, InfoOf(spot), 0);
    return err;
}

void TrashAccess::ForgetDescription(const TrashSpot& spot) {
    const Opened& t = open(spot.trash);
    FileInfo st;
    if (t.error == 0 && ops_.StatAt(t.files, spot.name, st) == ENOENT)
        ops_.UnlinkAt(t.info, InfoOf(spot), 0);
}

void TrashAccess::FlushAll() {
    for (const Opened& t : trashes_) {
        if (t.error == 0)
            ops_.SyncFileSystemOf(t.files);
    }
}

} // namespace platform
