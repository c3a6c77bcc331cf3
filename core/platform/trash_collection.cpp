#include "trash_collection.h"

#include "trash_folder.h"
#include "trash_names.h"

#include <cerrno>
#include <fcntl.h>

namespace platform {

TrashCollection::TrashCollection(FileOps& ops, const TrashPlaces& places, std::string title)
    : ops_(ops), places_(places), title_(std::move(title)) {}

TrashCollection::~TrashCollection() {
    for (RunFolder& f : folders_) {
        // A run that put nothing there leaves no empty folder in the trash.
        if (f.fd >= 0 && f.kept == 0 &&
            ops_.UnlinkAt(trashes_[f.trash].files, f.name, AT_REMOVEDIR) == 0)
            ops_.UnlinkAt(trashes_[f.trash].info, f.name + std::string(kTrashInfoSuffix), 0);
        CloseQuietly(ops_, f.fd);
    }
    for (TrashFolder& t : trashes_) {
        CloseQuietly(ops_, t.files);
        CloseQuietly(ops_, t.info);
    }
}

// The run's folder in the trash of `device`, made the first time; its description sends it
// into the folder `origin`, where that lies on the same disk, else beside the first entry.
int TrashCollection::open(int dirFd, std::string_view rootPath, std::string_view relative,
                          std::uint64_t device, std::size_t& index) {
    for (index = 0; index < folders_.size(); ++index)
        if (folders_[index].device == device)
            return folders_[index].error;
    RunFolder& f = folders_.emplace_back();
    f.device = device;
    std::string folder, root, text;
    unsigned trash = 0;
    const std::string origin(rootPath);
    f.error = NormalFolder(origin + std::string(relative), folder) && NormalFolder(origin, root)
                  ? 0
                  : EINVAL;
    if (f.error == 0)
        f.error = FindTrash(ops_, dirFd, folder, device, places_, trashes_, trash);
    if (f.error != 0)
        return f.error;
    f.trash = static_cast<int>(trash);
    const TrashFolder& t = trashes_[trash];
    Describe(t, t.home || root.starts_with(t.top) ? root : folder, title_, DeletionDate(), text);
    unsigned variant = 1;
    f.error = ClaimInfo(ops_, t, title_, text, false, variant);
    if (f.error != 0)
        return f.error;
    f.name = TrashVariantName(title_, variant);
    f.error = ops_.MkdirAt(t.files, f.name, 0700);
    if (f.error == 0)
        f.error = ops_.OpenAt(t.files, f.name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, f.fd);
    if (f.error != 0)
        ops_.UnlinkAt(t.info, f.name + std::string(kTrashInfoSuffix), 0);
    return f.error;
}

int TrashCollection::Claim(int dirFd, std::string_view root, std::string_view relative,
                           const std::string& name, std::uint64_t device, std::size_t& slot) {
    if (!IsOneComponent(name))
        return EINVAL;
    std::size_t index = 0;
    if (const int err = open(dirFd, root, relative, device, index); err != 0)
        return err;
    RunFolder& f = folders_[index];
    // Names met before in this run get a number, as in the trash itself.
    std::string kept = name;
    for (unsigned variant = 2; !f.used.insert(kept).second; ++variant)
        kept = TrashVariantName(name, variant);
    slot = claims_.size();
    spots_.push_back({trashes_[f.trash].path, f.name + "/" + kept});
    claims_.push_back({dirFd, name, index, std::move(kept)});
    return 0;
}

int TrashCollection::Keep(std::size_t slot, bool& moved) {
    const Claimed& c = claims_[slot];
    RunFolder& f = folders_[c.folder];
    moved = false;
    int err = ops_.LinkAt(c.dirFd, c.name, f.fd, c.kept);
    if (err != 0 && NoHardLinks(err)) {
        moved = true;
        err = RenameInto(ops_, c.dirFd, c.name, f.fd, c.kept);
    }
    if (err == 0) {
        const std::lock_guard<std::mutex> lock(counting_);
        ++f.kept;
    }
    return err;
}

int TrashCollection::Move(std::size_t slot) {
    const Claimed& c = claims_[slot];
    RunFolder& f = folders_[c.folder];
    const int err = RenameInto(ops_, c.dirFd, c.name, f.fd, c.kept);
    if (err == 0) {
        const std::lock_guard<std::mutex> lock(counting_);
        ++f.kept;
    }
    return err;
}

void TrashCollection::Undo(std::size_t slot, bool moved) {
    const Claimed& c = claims_[slot];
    RunFolder& f = folders_[c.folder];
    const int err =
        moved ? RenameInto(ops_, f.fd, c.kept, c.dirFd, c.name) : ops_.UnlinkAt(f.fd, c.kept, 0);
    if (err == 0) {
        const std::lock_guard<std::mutex> lock(counting_);
        --f.kept;
    }
}

void TrashCollection::Clear() {
    claims_.clear();
    spots_.clear();
}

} // namespace platform
