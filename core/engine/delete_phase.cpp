#include "delete_phase.h"

#include "folder_phase.h"

#include "copy_errors.h"
#include "leftover_sweep.h"
#include "platform/file_copy.h"
#include "platform/file_ops.h"
#include "platform/trash_batch.h"
#include "run_recorder.h"
#include "run_view.h"
#include "sync_session.h"
#include "tree_paths.h"
#include "work_pool.h"

#include <algorithm>
#include <cerrno>

namespace {

const char* const kChangedSinceLoad = "Die Zieldatei wurde nach dem Laden geändert.";
const char* const kLinkOnTheWay = "Ein Teil des Pfads ist eine symbolische Verknüpfung.";

// What becomes of one file: deleted, left (nothing to do), or listed as not deleted.
struct Verdict {
    enum { Delete, Leave, Fail } what = Delete;
    int error = 0;
    std::string reason;
    bool changed = false;
};

Verdict Failed(int error, std::string reason, bool changed = false) {
    return {Verdict::Fail, error, std::move(reason), changed};
}

const Verdict kDelete{Verdict::Delete, 0, {}, false};
const Verdict kLeave{Verdict::Leave, 0, {}, false};

// Looks at a file once more just before it is deleted: only the very file the load saw is
// deleted. A file that is gone needs nothing; one this run wrote is never deleted (on a
// target that ignores letter case, the old spelling of a renamed file is the file the run
// just copied under its new one). `st` receives the file as it is now.
Verdict Recheck(platform::FileOps& ops, int dirFd, const MyFile& f,
                const platform::SeenDestination& loaded,
                const std::vector<platform::FileIdentity>& written, platform::FileInfo& st) {
    if (int err = ops.StatAt(dirFd, f.Name(), st); err != 0)
        return err == ENOENT ? kLeave : Failed(err, ErrorDescription(err));
    const platform::FileIdentity id{st.device, st.inode};
    if (std::binary_search(written.begin(), written.end(), id))
        return kLeave;
    if (!platform::StillAsSeen(st, loaded))
        return Failed(0, kChangedSinceLoad, true);
    return kDelete;
}

// The ticked entries of the delete list, folder by folder: the files of one folder follow each
// other in the list, so each folder is opened once, without following links. The files are
// deleted in batches across folders: the batch's records reach the run's journal with one
// flush, the trash's descriptions with one more, and then the files go.
class DeletePhase {
public:
    static constexpr std::size_t kBatch = 128; // each holds its folder open

    DeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                platform::FolderChain& targetTree,
                const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                RunResult& result, RunRecorder& recorder, WorkPool* pool)
        : session_(session), ops_(ops), view_(view), targetTree_(targetTree), written_(written),
          sweep_(sweep), result_(result), recorder_(recorder), pool_(pool),
          toTrash_(session.CurrentRule.ReverseAction == kMoveToTrash),
          rootLength_(RootPrefixLength(session.TargetPath)),
          trash_(ops, toTrash_ ? platform::CurrentTrashPlaces() : platform::TrashPlaces{}) {}

    // Deleting for good has no flush of its own to ride on: the whole list is noted in the
    // journal before the first file goes, with one flush, as the load saw each file.
    void noteAllForGood(const std::vector<const MyFile*>& chosen) {
        if (toTrash_)
            return;
        ahead_.resize(chosen.size());
        std::string relative;
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            const MyFile& f = *chosen[k];
            const platform::SeenDestination seen = session_.AsLoaded(f);
            relative.assign(RelativeFolderOf(f, rootLength_)).append(f.Name());
            ahead_[k] = recorder_.NoteDeleted(relative, seen.size,
                                              seen.stamp.known ? seen.stamp.writeNanos
                                                               : UnixFromDateTime(seen.lastWrite) *
                                                                     platform::FileInfo::kBillion);
        }
        recorder_.Durable();
    }

    // The files chosen[i] up to chosen[end - 1], all of one folder.
    void deleteFolder(const std::vector<const MyFile*>& chosen, std::size_t i, std::size_t end) {
        const std::string_view folderPath = chosen[i]->FolderView();
        const std::string_view relative = RelativeFolder(folderPath, rootLength_);
        platform::FolderRef folder;
        const int err = targetTree_.Resolve(relative, false, folder);
        if (err == 0)
            sweep_.Folder(false, relative, folder);
        for (std::size_t k = i; k < end; ++k) {
            const MyFile* f = chosen[k];
            if (err == 0)
                batch_.push_back({f, folder, relative, {}, k});
            else if (err == ENOENT) // gone with its folder: nothing left to delete
                settle(kLeave, *f, k);
            else
                settle(Failed(err, err == ELOOP ? kLinkOnTheWay : ErrorDescription(err)), *f, k);
            if (batch_.size() >= kBatch)
                deleteBatch();
        }
    }

    // What waits is deleted, and the deletions are on the disk before the run reports that it
    // is done.
    void finish() {
        deleteBatch();
        for (const platform::FolderRef& folder : touched_)
            ops_.SyncFileSystemOf(folder->fd);
    }

private:
    struct Doomed {
        const MyFile* file;
        platform::FolderRef folder;
        std::string_view relative; // its folder below the root
        platform::FileInfo now;
        std::size_t at; // in the chosen files
    };

    // A file that is not deleted: left because it is gone, or listed with the reason.
    void settle(const Verdict& verdict, const MyFile& f, std::size_t at) {
        if (!toTrash_)
            recorder_.journal().NotDone(ahead_[at]);
        if (verdict.what == Verdict::Fail)
            fail(f, verdict);
        else
            ++result_.alreadyGone;
    }

    // Each file of the batch is looked at once more; those to be left are settled in the
    // batch's order and drop out of it.
    void recheckBatch() {
        verdicts_.assign(batch_.size(), kLeave);
        ForEachOn(pool_, batch_.size(), [&](std::size_t k) {
            Doomed& d = batch_[k];
            verdicts_[k] =
                Recheck(ops_, d.folder->fd, *d.file, session_.AsLoaded(*d.file), written_, d.now);
        });
        std::size_t kept = 0;
        for (std::size_t k = 0; k < batch_.size(); ++k) {
            if (verdicts_[k].what != Verdict::Delete)
                settle(verdicts_[k], *batch_[k].file, batch_[k].at);
            else if (kept++ != k)
                batch_[kept - 1] = std::move(batch_[k]);
        }
        batch_.resize(kept);
    }

    void fail(const MyFile& f, const Verdict& verdict) {
        FailedItem item;
        item.kind = FailedItem::Kind::Delete;
        item.path = f.Path();
        item.error = verdict.error;
        item.reason = verdict.reason;
        item.changedSinceLoad = verdict.changed;
        item.inStartTree = false;
        AddFailure(view_, result_, std::move(item));
    }

    void counted(std::int64_t& files, std::int64_t& bytes, const MyFile& f) {
        ++files;
        bytes += f.Size;
        if (view_.ListsActions())
            view_.ActionDone(RunAction::Deleted, f.Path(), {});
    }

    std::string relativePath(const Doomed& d) const {
        return std::string(d.relative).append(d.file->Name());
    }

    // Notes each file in the journal, and in the trash its place, before any of them goes.
    void noteAhead() {
        if (!toTrash_) {
            for (std::size_t k = 0; k < batch_.size(); ++k)
                actions_[k] = ahead_[batch_[k].at]; // noted before the first one went
            return;
        }
        std::vector<std::uint64_t> trashDevices; // flushed right after, the journal with them
        for (std::size_t k = 0; k < batch_.size(); ++k) {
            const Doomed& d = batch_[k];
            const std::string folder = recorder_.AbsoluteFolder(false, d.relative);
            errors_[k] = trash_.Claim(d.folder->fd, folder, d.file->Name(), slots_[k]);
            if (errors_[k] != 0)
                continue;
            actions_[k] = recorder_.NoteTrashed(relativePath(d), d.now, trash_.Spot(slots_[k]));
            if (std::find(trashDevices.begin(), trashDevices.end(), d.now.device) ==
                trashDevices.end())
                trashDevices.push_back(d.now.device);
        }
        recorder_.Durable(trashDevices);
        trash_.Flush();
    }

    void deleteBatch() {
        recheckBatch();
        if (batch_.empty())
            return;
        errors_.assign(batch_.size(), 0);
        slots_.assign(batch_.size(), 0);
        actions_.assign(batch_.size(), 0);
        noteAhead();
        notGone_.assign(batch_.size(), 0);
        ForEachOn(pool_, batch_.size(), [&](std::size_t k) {
            const Doomed& d = batch_[k];
            if (errors_[k] != 0) // it has no place in the trash: it was never noted
                return;
            errors_[k] =
                toTrash_ ? trash_.Move(slots_[k]) : ops_.UnlinkAt(d.folder->fd, d.file->Name(), 0);
            notGone_[k] = errors_[k] != 0;
        });
        for (std::size_t k = 0; k < batch_.size(); ++k)
            if (notGone_[k] != 0)
                recorder_.journal().NotDone(actions_[k]);
        trash_.Clear();
        for (std::size_t k = 0; k < batch_.size(); ++k) {
            const MyFile& f = *batch_[k].file;
            if (errors_[k] != 0)
                fail(f, Failed(errors_[k], ErrorDescription(errors_[k])));
            else if (toTrash_)
                counted(result_.trashed, result_.trashedBytes, f);
            else
                counted(result_.deletedForGood, result_.deletedForGoodBytes, f);
            noteTouched(batch_[k].folder, batch_[k].now.device);
        }
        batch_.clear();
    }

    // One folder per file system, flushed at the end.
    void noteTouched(const platform::FolderRef& folder, std::uint64_t device) {
        if (std::find(touchedDevices_.begin(), touchedDevices_.end(), device) !=
            touchedDevices_.end())
            return;
        touchedDevices_.push_back(device);
        touched_.push_back(folder);
    }

    SyncSession& session_;
    platform::FileOps& ops_;
    RunView& view_;
    platform::FolderChain& targetTree_;
    const std::vector<platform::FileIdentity>& written_;
    LeftoverSweep& sweep_;
    RunResult& result_;
    RunRecorder& recorder_;
    WorkPool* pool_;
    const bool toTrash_;
    const std::size_t rootLength_;
    platform::TrashBatch trash_;
    std::vector<platform::FolderRef> touched_;
    std::vector<std::uint64_t> touchedDevices_;
    std::vector<Doomed> batch_;
    std::vector<int> errors_;
    std::vector<Verdict> verdicts_;
    std::vector<unsigned char> notGone_; // noted in the journal, but still there
    std::vector<std::size_t> slots_, actions_;
    std::vector<std::size_t> ahead_; // for good: each chosen file's action in the journal
};

} // namespace

void RunDeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                    platform::FolderChain& targetTree,
                    const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                    RunResult& result, RunRecorder& recorder, WorkPool* pool) {
    if (!session.CurrentRule.deletesOnTarget())
        return;
    std::vector<const MyFile*> chosen;
    std::size_t folders = 0; // removed after the files, when these left them empty
    for (const MyFile* f : session.DeleteList)
        if (f->Selected && f->IsFolder())
            ++folders;
        else if (f->Selected)
            chosen.push_back(f);
    if (chosen.empty() && folders == 0)
        return;
    view.StatusText("Löschvorgang...");
    if (!view.ConfirmDelete(chosen.size() + folders,
                            session.CurrentRule.ReverseAction == kMoveToTrash)) {
        result.deleteDeclined = true;
        return;
    }
    DeletePhase phase(session, ops, view, targetTree, written, sweep, result, recorder, pool);
    phase.noteAllForGood(chosen);
    for (std::size_t i = 0; i < chosen.size();) {
        if (view.StopRequested()) {
            result.stoppedEarly = true;
            break;
        }
        std::size_t end = i + 1;
        while (end < chosen.size() && chosen[end]->FolderView() == chosen[i]->FolderView())
            ++end;
        phase.deleteFolder(chosen, i, end);
        view.PumpEvents();
        i = end;
    }
    phase.finish();
    if (!result.stoppedEarly)
        RemoveFolders(session, ops, targetTree, view, result, recorder);
}
