#include "trash_batch.h"

#include "trash_folder.h"
#include "trash_names.h"

#include <algorithm>
#include <cerrno>

namespace platform {

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
