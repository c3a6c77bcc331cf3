#include "trash_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string_view>
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

bool IsOneComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// The folder with single slashes and one at the end; false when it is not absolute.
bool NormalFolder(const std::string& path, std::string& folder) {
    if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
        return false;
    folder.clear();
    for (const char c : path) {
        if (c != '/' || folder.empty() || folder.back() != '/')
            folder += c;
    }
    if (folder.back() != '/')
        folder += '/';
    return true;
}

std::string DeletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

void Describe(const TrashFolder& t, const std::string& folder, const std::string& name,
              const std::string& date, std::string& text) {
    text.assign("[Trash Info]\nPath=");
    AppendTrashPathEncoded(text, std::string_view(folder).substr(t.home ? 0 : t.top.size()));
    AppendTrashPathEncoded(text, name);
    text.append("\nDeletionDate=").append(date).append("\n");
}

std::string InfoName(const std::string& name, unsigned variant) {
    return TrashVariantName(name, variant).append(kTrashInfoSuffix);
}

namespace {

int WriteAll(FileOps& ops, int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        std::size_t written = 0;
        const int err = ops.Write(fd, text.data() + done, text.size() - done, written);
        if (err != 0)
            return err;
        if (written == 0)
            return EIO;
        done += written;
    }
    return 0;
}

// After a few taken names: the first free variant behind a run of taken ones, by doubling
// the step and then halving it, so that a name trashed thousands of times costs a few
// looks and not thousands. `variant` is free; the one before it is taken.
int SearchFreeVariant(FileOps& ops, const TrashFolder& t, const std::string& name,
                      unsigned& variant) {
    const auto taken = [&](unsigned v, bool& is) {
        FileInfo st;
        const int err = ops.StatAt(t.info, InfoName(name, v), st);
        is = err == 0;
        return err == ENOENT ? 0 : err;
    };
    unsigned low = variant - 1;
    unsigned high = variant;
    bool is = false;
    for (unsigned step = 1;; step *= 2) {
        high = low + step;
        if (high > kMaxVariant)
            return EEXIST;
        if (const int err = taken(high, is); err != 0)
            return err;
        if (!is)
            break;
        low = high;
    }
    while (high - low > 1) {
        const unsigned mid = low + (high - low) / 2;
        if (const int err = taken(mid, is); err != 0)
            return err;
        (is ? low : high) = mid;
    }
    variant = high;
    return 0;
}

} // namespace

// Takes the name of the entry's description, from `variant` on, and writes it; with `flush`
// it reaches the disk before this returns. A name that an entry without description holds
// in files/ is passed over, so that the entry never has to move to another name than the
// one its description was written for.
int ClaimInfo(FileOps& ops, const TrashFolder& t, const std::string& name, const std::string& text,
              bool flush, unsigned& variant) {
    for (int tries = 1;; ++tries) {
        if (tries == 5) {
            if (const int err = SearchFreeVariant(ops, t, name, variant); err != 0)
                return err;
        }
        const std::string info = InfoName(name, variant);
        int fd = -1;
        int err = ops.OpenAt(t.info, info, O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY, 0600, fd);
        if (err == 0) {
            FileInfo st;
            err = ops.StatAt(t.files, TrashVariantName(name, variant), st);
            err = err == 0 ? EEXIST : err == ENOENT ? 0 : err;
            if (err == 0)
                err = WriteAll(ops, fd, text);
            if (err == 0 && flush)
                err = ops.Fsync(fd);
            const int closed = ops.Close(fd);
            if (err == 0)
                err = closed;
            if (err != 0)
                ops.UnlinkAt(t.info, info, 0);
        }
        if (err != EEXIST)
            return err;
        if (variant >= kMaxVariant)
            return EEXIST;
        ++variant;
    }
}

int RenameInto(FileOps& ops, int dirFd, const std::string& name, int toDir,
               const std::string& trashName) {
    // Never over an entry that lies in the trash without a description.
    int err = ops.RenameAt(dirFd, name, toDir, trashName, RENAME_NOREPLACE);
    if (err != EINVAL)
        return err;
    // File systems that cannot refuse to replace answer EINVAL: look first, then rename.
    FileInfo st;
    err = ops.StatAt(toDir, trashName, st);
    if (err == 0)
        return EEXIST;
    if (err != ENOENT)
        return err;
    return ops.RenameAt(dirFd, name, toDir, trashName, 0);
}

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
