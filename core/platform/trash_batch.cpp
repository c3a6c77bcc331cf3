#include "trash_batch.h"

#include "trash_folder.h"
#include "trash_names.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string_view>

namespace platform {
namespace {

constexpr unsigned kMaxVariant = 1u << 30;

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

} // namespace

bool NoHardLinks(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == EMLINK || err == EXDEV || err == ENOSYS;
}

TrashBatch::TrashBatch(FileOps& ops, const TrashPlaces& places, bool flushEach)
    : ops_(ops), places_(places), flushEach_(flushEach) {}

TrashBatch::~TrashBatch() {
    Clear();
    for (TrashFolder& t : trashes_) {
        CloseQuietly(ops_, t.files);
        CloseQuietly(ops_, t.info);
    }
}

int TrashBatch::Claim(int dirFd, const std::string& folderPath, const std::string& name,
                      std::size_t& slot) {
    if (!IsOneComponent(name) || !NormalFolder(folderPath, folder_))
        return EINVAL;
    FileInfo st;
    if (const int err = ops_.StatAt(dirFd, name, st); err != 0)
        return err;
    unsigned index = 0;
    if (const int err = FindTrash(ops_, dirFd, folder_, st.device, places_, trashes_, index);
        err != 0)
        return err;
    if (date_.empty())
        date_ = DeletionDate();
    TrashFolder& t = trashes_[index];
    Describe(t, folder_, name, date_, text_);
    Claimed c{dirFd, name, index, 1, true};
    if (const int err = ClaimInfo(ops_, t, name, text_, flushEach_, c.variant); err != 0)
        return err;
    t.unflushed = t.unflushed || !flushEach_;
    slot = claims_.size();
    spots_.push_back({t.path, TrashVariantName(name, c.variant)});
    claims_.push_back(std::move(c));
    return 0;
}

void TrashBatch::Flush(const std::vector<std::uint64_t>& flushedDevices) {
    for (TrashFolder& t : trashes_) {
        if (!t.unflushed)
            continue;
        t.unflushed = false;
        const bool flushed = std::find(flushedDevices.begin(), flushedDevices.end(), t.device) !=
                             flushedDevices.end();
        t.flushError = flushed ? 0 : ops_.SyncFileSystemOf(t.info);
    }
}

int TrashBatch::Move(std::size_t slot) {
    Claimed& c = claims_[slot];
    const TrashFolder& t = trashes_[c.trash];
    int err = t.flushError;
    if (err == 0)
        err = RenameInto(ops_, c.dirFd, c.name, t.files, spots_[slot].name);
    if (err != 0)
        Release(slot);
    c.open = false;
    return err;
}

int TrashBatch::Keep(std::size_t slot, bool& moved) {
    Claimed& c = claims_[slot];
    const TrashFolder& t = trashes_[c.trash];
    moved = false;
    int err = t.flushError;
    if (err == 0)
        err = ops_.LinkAt(c.dirFd, c.name, t.files, spots_[slot].name);
    if (err == 0 || !NoHardLinks(err)) {
        if (err != 0)
            Release(slot);
        c.open = false;
        return err;
    }
    moved = true;
    return Move(slot);
}

void TrashBatch::Unlink(std::size_t slot) {
    const Claimed& c = claims_[slot];
    const TrashFolder& t = trashes_[c.trash];
    ops_.UnlinkAt(t.files, spots_[slot].name, 0);
    ops_.UnlinkAt(t.info, InfoName(c.name, c.variant), 0);
}

int TrashBatch::MoveBack(std::size_t slot) {
    const Claimed& c = claims_[slot];
    const TrashFolder& t = trashes_[c.trash];
    const int err = RenameInto(ops_, t.files, spots_[slot].name, c.dirFd, c.name);
    if (err == 0)
        ops_.UnlinkAt(t.info, InfoName(c.name, c.variant), 0);
    return err;
}

void TrashBatch::Release(std::size_t slot) {
    Claimed& c = claims_[slot];
    if (c.open)
        ops_.UnlinkAt(trashes_[c.trash].info, InfoName(c.name, c.variant), 0);
    c.open = false;
}

void TrashBatch::Clear() {
    for (std::size_t i = 0; i < claims_.size(); ++i)
        Release(i);
    claims_.clear();
    spots_.clear();
    date_.clear();
}

} // namespace platform
