#include "trash.h"

#include "trash_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string_view>

namespace platform {
namespace {

constexpr unsigned kMaxVariant = 1u << 30;
constexpr unsigned kNoTrash = ~0u;

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

void Describe(const TrashFolder& t, const std::string& name, const std::string& date,
              std::string& text) {
    text.assign("[Trash Info]\nPath=");
    text += t.encodedFolder;
    AppendTrashPathEncoded(text, name);
    text.append("\nDeletionDate=").append(date).append("\n");
}

std::string InfoName(const std::string& name, unsigned variant) {
    return TrashVariantName(name, variant).append(kTrashInfoSuffix);
}

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

// Takes the name of the entry's description, from `variant` on, and writes it; with `flush`
// it reaches the disk before this returns.
int Claim(FileOps& ops, const TrashFolder& t, const std::string& name, const std::string& text,
          bool flush, unsigned& variant) {
    for (int tries = 1;; ++tries) {
        if (tries == 5) {
            if (const int err = SearchFreeVariant(ops, t, name, variant); err != 0)
                return err;
        }
        const std::string info = InfoName(name, variant);
        int fd = -1;
        int err = ops.OpenAt(t.info, info, O_CREAT | O_EXCL | O_NOFOLLOW | O_WRONLY, 0600, fd);
        if (err == EEXIST) {
            if (variant >= kMaxVariant)
                return EEXIST;
            ++variant;
            continue;
        }
        if (err != 0)
            return err;
        err = WriteAll(ops, fd, text);
        if (err == 0 && flush)
            err = ops.Fsync(fd);
        const int closed = ops.Close(fd);
        if (err == 0)
            err = closed;
        if (err != 0)
            ops.UnlinkAt(t.info, info, 0);
        return err;
    }
}

int RenameInto(FileOps& ops, int dirFd, const std::string& name, const TrashFolder& t,
               const std::string& trashName) {
    // Never over an entry that lies in the trash without a description.
    int err = ops.RenameAt(dirFd, name, t.files, trashName, RENAME_NOREPLACE);
    if (err != EINVAL)
        return err;
    // File systems that cannot refuse to replace answer EINVAL: look first, then rename.
    FileInfo st;
    err = ops.StatAt(t.files, trashName, st);
    if (err == 0)
        return EEXIST;
    if (err != ENOENT)
        return err;
    return ops.RenameAt(dirFd, name, t.files, trashName, 0);
}

// Moves a claimed entry; on failure its description goes again.
int Settle(FileOps& ops, int dirFd, const std::string& name, const TrashFolder& t,
           const std::string& date, unsigned variant) {
    std::string text;
    while (true) {
        const int err = RenameInto(ops, dirFd, name, t, TrashVariantName(name, variant));
        if (err == 0)
            return 0;
        ops.UnlinkAt(t.info, InfoName(name, variant), 0);
        if (err != EEXIST || variant >= kMaxVariant)
            return err;
        ++variant;
        Describe(t, name, date, text);
        if (const int claimed = Claim(ops, t, name, text, true, variant); claimed != 0)
            return claimed;
    }
}

void MoveEntries(FileOps& ops, int dirFd, const std::string& folderPath, const std::string* names,
                 std::size_t count, const TrashPlaces& places, int* errors) {
    std::string folder;
    if (!NormalFolder(folderPath, folder)) {
        std::fill(errors, errors + count, EINVAL);
        return;
    }
    const std::string date = DeletionDate();
    // One entry is flushed on its own; many share one flush of the whole file system.
    const bool flushEach = count == 1;
    std::vector<TrashFolder> trashes;
    struct Claimed {
        unsigned trash = kNoTrash;
        unsigned variant = 1;
    };
    std::vector<Claimed> claimed(count);
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        errors[i] = 0;
        if (!IsOneComponent(names[i])) {
            errors[i] = EINVAL;
            continue;
        }
        FileInfo st;
        unsigned index = 0;
        int err = ops.StatAt(dirFd, names[i], st);
        if (err == 0)
            err = FindTrash(ops, dirFd, folder, st.device, places, trashes, index);
        if (err == 0) {
            Describe(trashes[index], names[i], date, text);
            err = Claim(ops, trashes[index], names[i], text, flushEach, claimed[i].variant);
        }
        if (err != 0) {
            errors[i] = err;
            continue;
        }
        claimed[i].trash = index;
        trashes[index].unflushed = !flushEach;
    }
    for (TrashFolder& t : trashes) {
        if (t.unflushed)
            t.flushError = ops.SyncFileSystemOf(t.info);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (claimed[i].trash == kNoTrash)
            continue;
        const TrashFolder& t = trashes[claimed[i].trash];
        if (t.flushError != 0) {
            ops.UnlinkAt(t.info, InfoName(names[i], claimed[i].variant), 0);
            errors[i] = t.flushError;
            continue;
        }
        errors[i] = Settle(ops, dirFd, names[i], t, date, claimed[i].variant);
    }
    for (TrashFolder& t : trashes) {
        CloseQuietly(ops, t.files);
        CloseQuietly(ops, t.info);
    }
}

} // namespace

int MoveToTrash(FileOps& ops, int dirFd, const std::string& folderPath, const std::string& name,
                const TrashPlaces& places) {
    int error = 0;
    MoveEntries(ops, dirFd, folderPath, &name, 1, places, &error);
    return error;
}

void MoveAllToTrash(FileOps& ops, int dirFd, const std::string& folderPath,
                    const std::vector<std::string>& names, const TrashPlaces& places,
                    std::vector<int>& errors) {
    errors.assign(names.size(), 0);
    MoveEntries(ops, dirFd, folderPath, names.data(), names.size(), places, errors.data());
}

} // namespace platform
