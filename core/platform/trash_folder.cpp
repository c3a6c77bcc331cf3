#include "trash_folder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

// Trash folders are never reached through a link: someone else's link could lead the user's
// files anywhere.
constexpr int kTrashFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW;
// Folders above a trash are only passed through; they need not be readable.
constexpr int kPassFlags = O_PATH | O_DIRECTORY;

int OpenOrMakeFolder(FileOps& ops, int parent, const std::string& name, int& fd) {
    int err = ops.OpenAt(parent, name, kTrashFolderFlags, 0, fd);
    if (err != ENOENT)
        return err;
    err = ops.MkdirAt(parent, name, 0700);
    if (err != 0 && err != EEXIST)
        return err;
    return ops.OpenAt(parent, name, kTrashFolderFlags, 0, fd);
}

// Opens (making what is missing) the trash `name` in `parent` with its "files" and "info".
int OpenTrashIn(FileOps& ops, int parent, const std::string& name, const uid_t* owner,
                TrashFolder& t) {
    int top = -1;
    int err = OpenOrMakeFolder(ops, parent, name, top);
    if (err == 0 && owner != nullptr) {
        // A trash on a shared file system that someone else made is not the user's own.
        FileInfo st;
        err = ops.Fstat(top, st);
        if (err == 0 && st.owner != *owner)
            err = EPERM;
    }
    if (err == 0)
        err = OpenOrMakeFolder(ops, top, "files", t.files);
    if (err == 0)
        err = OpenOrMakeFolder(ops, top, "info", t.info);
    CloseQuietly(ops, top);
    if (err != 0) {
        CloseQuietly(ops, t.files);
        CloseQuietly(ops, t.info);
    }
    return err;
}

// Opens `path`, or when it does not exist yet its nearest existing ancestor, whose path is
// the first `existing` bytes of `path` ("/" for 0), and gives its device.
int OpenNearest(FileOps& ops, const std::string& path, int& fd, std::size_t& existing,
                dev_t& device) {
    std::size_t end = path.size();
    while (true) {
        int err = ops.Open(end == 0 ? std::string("/") : path.substr(0, end), kPassFlags, 0, fd);
        if (err == 0) {
            FileInfo st;
            err = ops.Fstat(fd, st);
            if (err != 0) {
                CloseQuietly(ops, fd);
                return err;
            }
            existing = end;
            device = st.device;
            return 0;
        }
        if (err != ENOENT || end == 0)
            return err;
        end = path.rfind('/', end - 1);
    }
}

// The user's trash below dataHome, when that lies on `device`; `here` tells whether it does.
int OpenHomeTrash(FileOps& ops, const std::string& dataHome, dev_t device, TrashFolder& t,
                  bool& here) {
    here = false;
    if (dataHome.empty() || dataHome[0] != '/')
        return 0;
    int fd = -1;
    std::size_t existing = 0;
    dev_t homeDevice = 0;
    int err = OpenNearest(ops, dataHome, fd, existing, homeDevice);
    if (err != 0 || homeDevice != device) {
        CloseQuietly(ops, fd);
        return err;
    }
    here = true;
    // Make the missing part of the data folder, as private as the desktop makes it.
    std::size_t start = existing;
    while (err == 0 && start < dataHome.size()) {
        std::size_t end = dataHome.find('/', start + 1);
        if (end == std::string::npos)
            end = dataHome.size();
        const std::string part = dataHome.substr(start + 1, end - start - 1);
        start = end;
        if (part.empty())
            continue;
        err = ops.MkdirAt(fd, part, 0700);
        int inner = -1;
        if (err == 0 || err == EEXIST)
            err = ops.OpenAt(fd, part, kPassFlags, 0, inner);
        CloseQuietly(ops, fd);
        fd = inner;
    }
    if (err == 0)
        err = OpenTrashIn(ops, fd, "Trash", nullptr, t);
    CloseQuietly(ops, fd);
    t.home = true;
    t.path = dataHome + "/Trash";
    return err;
}

// The trash at the top of the file system `device`, which `folder` (open as dirFd) is on.
int OpenTopTrash(FileOps& ops, int dirFd, const std::string& folder, dev_t device, uid_t uid,
                 TrashFolder& t) {
    FileInfo st;
    int err = ops.Fstat(dirFd, st);
    if (err != 0)
        return err;
    if (st.device != device)
        return EXDEV; // the entry is itself the top of another file system
    // Climb while the parent is on the same file system; the top folder's path ends at `end`.
    std::size_t end = folder.size() - 1;
    int top = -1; // -1 while the top is the folder itself
    while (end > 0) {
        const std::size_t parentEnd = folder.rfind('/', end - 1);
        int parent = -1;
        err = ops.Open(parentEnd == 0 ? std::string("/") : folder.substr(0, parentEnd), kPassFlags,
                       0, parent);
        if (err == 0)
            err = ops.Fstat(parent, st);
        if (err != 0 || st.device != device) {
            CloseQuietly(ops, parent);
            break;
        }
        CloseQuietly(ops, top);
        top = parent;
        end = parentEnd;
    }
    const int topFd = top >= 0 ? top : dirFd;
    bool shared = false;
    // The administrator's shared trash counts only as a real folder with the sticky bit,
    // so that no user can take away another user's part of it.
    if (err == 0 && ops.StatAt(topFd, ".Trash", st) == 0 && st.isFolder() &&
        (st.permissions & FileInfo::kSticky) != 0) {
        int sharedFd = -1;
        if (ops.OpenAt(topFd, ".Trash", kTrashFolderFlags, 0, sharedFd) == 0)
            shared = OpenTrashIn(ops, sharedFd, std::to_string(uid), &uid, t) == 0;
        CloseQuietly(ops, sharedFd);
    }
    if (err == 0 && !shared)
        err = OpenTrashIn(ops, topFd, ".Trash-" + std::to_string(uid), &uid, t);
    CloseQuietly(ops, top);
    t.top = folder.substr(0, end + 1);
    t.path = t.top + (shared ? ".Trash/" : ".Trash-") + std::to_string(uid);
    return err;
}

} // namespace

void CloseQuietly(FileOps& ops, int& fd) {
    if (fd >= 0)
        ops.Close(fd);
    fd = -1;
}

int FindTrash(FileOps& ops, int dirFd, const std::string& folder, dev_t device,
              const TrashPlaces& places, std::vector<TrashFolder>& trashes, unsigned& index) {
    // Folders of two roots on one file system may reach its top by different paths.
    for (index = 0; index < trashes.size(); ++index) {
        const TrashFolder& t = trashes[index];
        if (t.device == device &&
            (t.error != 0 || t.home || folder.compare(0, t.top.size(), t.top) == 0))
            return t.error;
    }
    TrashFolder& t = trashes.emplace_back();
    t.device = device;
    bool home = false;
    t.error = OpenHomeTrash(ops, places.dataHome, device, t, home);
    if (t.error == 0 && !home)
        t.error = OpenTopTrash(ops, dirFd, folder, device, places.uid, t);
    return t.error;
}

} // namespace platform
