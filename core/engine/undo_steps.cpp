// Each kind of entry of a run's journal, put back: only after looking at the disk, so that a
// file that changed since the run, or an action that never happened, is never acted on.
#include "undo_work.h"

#include "platform/file_ops.h"

#include <cerrno>
#include <fcntl.h>

namespace {

const char* const kChanged = "Die Datei wurde nach dem Abgleich geändert; sie bleibt, wie sie ist.";
const char* const kNotKept = "Ihre alte Fassung wurde nicht aufbewahrt; sie bleibt, wie sie ist.";
const char* const kOldGone = "Ihre alte Fassung liegt nicht mehr im Papierkorb.";
const char* const kBothGone = "Die Datei ist nicht mehr da, und ihre alte Fassung liegt nicht "
                              "mehr im Papierkorb.";
const char* const kTrashGone = "Die Datei liegt nicht mehr im Papierkorb.";
const char* const kTrashOther = "Im Papierkorb liegt unter diesem Namen inzwischen etwas anderes.";
const char* const kNameTaken = "Der Name ist inzwischen wieder vergeben.";
const char* const kForGood = "Endgültig gelöscht, kann nicht zurückgeholt werden.";
const char* const kNotEmpty = "Der Ordner ist nicht leer; er bleibt.";
const char* const kFolderGone = "Der Ordner, in dem sie lag, ist nicht mehr da.";

bool SameFile(const platform::FileInfo& st, const JournalFile& f) {
    return st.device == f.device && st.inode == f.inode && st.size == f.size &&
           st.writeNanos == f.writeNanos;
}

// A replaced file's old version; where the run knew only its size and whole seconds (inode 0),
// only these count.
bool SameOld(const platform::FileInfo& st, const JournalFile& f) {
    if (f.inode != 0)
        return SameFile(st, f);
    platform::FileInfo then;
    then.writeNanos = f.writeNanos;
    return st.size == f.size && st.writeSeconds() == then.writeSeconds();
}

bool SameInode(const platform::FileInfo& a, const platform::FileInfo& b) {
    return a.device == b.device && a.inode == b.inode;
}

bool CannotSwap(int err) {
    return err == EINVAL || err == EOPNOTSUPP || err == ENOSYS;
}

} // namespace

void UndoWork::made(const UndoEntry& e) {
    platform::FolderRef folder;
    std::string name;
    platform::FileInfo st;
    int err = parent(e, folder, name);
    if (err == 0)
        err = ops_.StatAt(folder->fd, name, st);
    if (err == ENOENT)
        return nothing(); // never made, or gone already
    if (err != 0)
        return failed(e, err);
    if (!SameFile(st, e.now))
        return e.notDone ? nothing() : left(e, kChanged);
    if (check_)
        return done(e);
    std::size_t slot = 0;
    err = toTrash(e, folder, name, st.device, slot);
    return err != 0 ? failed(e, err) : done(e);
}

void UndoWork::replaced(const UndoEntry& e) {
    platform::FolderRef folder;
    std::string name;
    platform::FileInfo now, kept;
    int err = parent(e, folder, name);
    if (err != 0)
        return e.notDone ? nothing() : err == ENOENT ? left(e, kFolderGone) : failed(e, err);
    err = ops_.StatAt(folder->fd, name, now);
    if (err != 0 && err != ENOENT)
        return failed(e, err);
    const platform::TrashSpot spot = plan_.SpotOf(e);
    const int keptErr = e.trash != 0 ? trash_.Stat(spot, kept) : ENOENT;
    const bool oldKept = keptErr == 0 && SameOld(kept, e.old);
    if (err == 0 && SameFile(now, e.now)) {
        if (e.trash == 0)
            return left(e, kNotKept);
        if (!oldKept)
            return left(e, keptErr == 0 ? kTrashOther : kOldGone);
        if (check_)
            return done(e);
        // In one step: the old version takes the name, the new one its place in the trash.
        err = trash_.Exchange(spot, folder->fd, name);
        if (CannotSwap(err))
            err = swapByHand(e, folder, name, now.device, spot);
        return err != 0 ? failed(e, err) : done(e);
    }
    if (err == ENOENT) {
        // On a disk without second names the old version went first: a crash left the name
        // free.
        if (!oldKept)
            return e.notDone ? nothing() : left(e, kBothGone);
        if (check_)
            return done(e);
        err = trash_.Restore(spot, folder->fd, name);
        return err != 0 ? failed(e, err) : done(e);
    }
    if (SameOld(now, e.old)) {
        // Never replaced, or put back already. A second name that a crash left in the trash
        // goes, and so does the description of a place never used.
        if (!check_ && oldKept && SameInode(now, kept))
            trash_.Remove(spot);
        else if (!check_ && e.trash != 0 && keptErr == ENOENT)
            trash_.ForgetDescription(spot);
        return nothing();
    }
    return e.notDone ? nothing() : left(e, kChanged);
}

// Where the file system cannot swap two names: the new version into the trash, then the old
// one to the free name; when that fails, the new one comes back.
int UndoWork::swapByHand(const UndoEntry& e, const platform::FolderRef& folder,
                         const std::string& name, std::uint64_t device,
                         const platform::TrashSpot& spot) {
    std::size_t slot = 0;
    if (const int err = toTrash(e, folder, name, device, slot); err != 0)
        return err;
    const int err = trash_.Restore(spot, folder->fd, name);
    if (err != 0)
        moves_.Undo(slot, true);
    return err;
}

void UndoWork::trashed(const UndoEntry& e) {
    platform::FolderRef folder;
    std::string name;
    platform::FileInfo now, kept;
    bool again = false;
    const platform::TrashSpot spot = plan_.SpotOf(e);
    const int keptErr = trash_.Stat(spot, kept);
    int err = parent(e, folder, name, &again);
    if (err == 0)
        err = ops_.StatAt(folder->fd, name, now);
    else if (again)
        err = ENOENT; // its folder comes back first
    else if (err == ENOENT)
        return e.notDone ? nothing() : left(e, kFolderGone);
    if (err != 0 && err != ENOENT)
        return failed(e, err);
    if (keptErr == 0 && SameFile(kept, e.now)) {
        if (err == 0)
            return left(e, kNameTaken);
        if (check_)
            return done(e);
        err = trash_.Restore(spot, folder->fd, name);
        return err == EEXIST ? left(e, kNameTaken) : err != 0 ? failed(e, err) : done(e);
    }
    if ((err == 0 && SameFile(now, e.now)) || e.notDone)
        return nothing(); // never moved, or back already
    left(e, keptErr == 0 ? kTrashOther : kTrashGone);
}

void UndoWork::deletedForGood(const UndoEntry& e) {
    platform::FolderRef folder;
    std::string name;
    platform::FileInfo now;
    int err = parent(e, folder, name);
    if (err == 0)
        err = ops_.StatAt(folder->fd, name, now);
    platform::FileInfo then;
    then.writeNanos = e.now.writeNanos;
    if (err == 0 && now.size == e.now.size && now.writeSeconds() == then.writeSeconds())
        return nothing(); // never deleted
    if (!e.notDone)
        left(e, kForGood);
    else
        nothing();
}

void UndoWork::folderMade(const UndoEntry& e) {
    platform::FolderRef folder, inside;
    std::string name;
    platform::FileInfo st;
    int err = parent(e, folder, name);
    if (err == 0)
        err = ops_.StatAt(folder->fd, name, st);
    if (err == ENOENT || (err == 0 && !st.isFolder()))
        return nothing();
    if (err != 0)
        return failed(e, err);
    if (check_)
        return done(e);
    // Temporary files of a killed run inside keep no folder.
    if ((e.inStart ? start_ : target_).Resolve(plan_.PathOf(e), false, inside) == 0)
        sweep_.Folder(e.inStart, plan_.PathOf(e), inside);
    err = ops_.UnlinkAt(folder->fd, name, AT_REMOVEDIR);
    if (err == ENOTEMPTY || err == EEXIST)
        return left(e, kNotEmpty);
    return err != 0 ? failed(e, err) : done(e);
}

void UndoWork::folderRemoved(const UndoEntry& e) {
    platform::FolderRef folder;
    std::string name;
    platform::FileInfo st;
    bool again = false;
    int err = parent(e, folder, name, &again);
    if (err == 0)
        err = ops_.StatAt(folder->fd, name, st);
    else if (again)
        err = ENOENT;
    else if (err == ENOENT)
        return left(e, kFolderGone);
    if (err == 0)
        return st.isFolder() ? nothing() : left(e, kNameTaken);
    if (err != ENOENT)
        return failed(e, err);
    if (check_) {
        again_.insert((e.inStart ? "S" : "T") + std::string(plan_.PathOf(e)));
        return done(e);
    }
    // Out of the trash where it lies there still, else made anew with its mode.
    const platform::TrashSpot spot = plan_.SpotOf(e);
    platform::FileInfo kept;
    if (e.trash != 0 && trash_.Stat(spot, kept) == 0 && kept.isFolder() &&
        trash_.Restore(spot, folder->fd, name) == 0)
        return done(e);
    err = ops_.MkdirAt(folder->fd, name, 0700);
    int fd = -1;
    if (err == 0 &&
        ops_.OpenAt(folder->fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, fd) == 0) {
        ops_.Fchmod(fd, e.mode);
        ops_.Close(fd);
    }
    return err == EEXIST ? left(e, kNameTaken) : err != 0 ? failed(e, err) : done(e);
}
