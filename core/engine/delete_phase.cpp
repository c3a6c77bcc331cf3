#include "delete_phase.h"

#include "folder_phase.h"

#include "copy_errors.h"
#include "leftover_sweep.h"
#include "platform/file_copy.h"
#include "platform/file_ops.h"
#include "platform/trash.h"
#include "run_view.h"
#include "sync_session.h"
#include "tree_paths.h"

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
// just copied under its new one).
Verdict Recheck(platform::FileOps& ops, int dirFd, const MyFile& f,
                const platform::SeenDestination& loaded,
                const std::vector<platform::FileIdentity>& written) {
    platform::FileInfo st;
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
// other in the list, so each folder is opened once, without following links, and its files are
// deleted together.
class DeletePhase {
public:
    DeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                platform::FolderChain& targetTree,
                const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                RunResult& result)
        : session_(session), ops_(ops), view_(view), targetTree_(targetTree), written_(written),
          sweep_(sweep), result_(result),
          toTrash_(session.CurrentRule.ReverseAction == kMoveToTrash),
          rootLength_(RootPrefixLength(session.TargetPath)) {
        if (toTrash_)
            trash_ = platform::CurrentTrashPlaces();
        // The trash records where a file came from, and finds the top of its file system from
        // there: it needs the absolute path even where the root was given relative.
        absoluteRoot_ = platform::AbsolutePath(session.TargetPath);
        if (absoluteRoot_.empty() || absoluteRoot_.back() != '/')
            absoluteRoot_ += '/';
    }

    // The files chosen[i] up to chosen[end - 1], all of one folder.
    void deleteFolder(const std::vector<const MyFile*>& chosen, std::size_t i, std::size_t end) {
        const std::string_view folderPath = chosen[i]->FolderView();
        const std::string_view relative = RelativeFolder(folderPath, rootLength_);
        platform::FolderRef folder;
        const int err = targetTree_.Resolve(relative, false, folder);
        if (err == 0)
            sweep_.Folder(false, relative, folder);
        batch_.clear();
        names_.clear();
        for (std::size_t k = i; k < end; ++k) {
            const MyFile* f = chosen[k];
            Verdict verdict = kLeave; // gone with its folder: nothing left to delete
            if (err == ELOOP)
                verdict = Failed(err, kLinkOnTheWay);
            else if (err != 0 && err != ENOENT)
                verdict = Failed(err, ErrorDescription(err));
            else if (err == 0)
                verdict = Recheck(ops_, folder->fd, *f, session_.AsLoaded(*f), written_);
            if (verdict.what == Verdict::Fail)
                fail(*f, verdict);
            else if (verdict.what == Verdict::Leave)
                ++result_.alreadyGone;
            else {
                batch_.push_back(f);
                names_.emplace_back(f->Name());
            }
        }
        if (!batch_.empty())
            deleteBatch(folder, relative);
    }

    // The deletions are on the disk before the run reports that it is done.
    void flush() {
        for (const platform::FolderRef& folder : touched_)
            ops_.SyncFileSystemOf(folder->fd);
    }

private:
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

    void deleteBatch(const platform::FolderRef& folder, std::string_view relative) {
        errors_.assign(names_.size(), 0);
        if (toTrash_) {
            platform::MoveAllToTrash(ops_, folder->fd, absoluteRoot_ + std::string(relative),
                                     names_, trash_, errors_);
        } else {
            for (std::size_t k = 0; k < names_.size(); ++k)
                errors_[k] = ops_.UnlinkAt(folder->fd, names_[k], 0);
        }
        for (std::size_t k = 0; k < batch_.size(); ++k) {
            if (errors_[k] != 0)
                fail(*batch_[k], Failed(errors_[k], ErrorDescription(errors_[k])));
            else if (toTrash_)
                counted(result_.trashed, result_.trashedBytes, *batch_[k]);
            else
                counted(result_.deletedForGood, result_.deletedForGoodBytes, *batch_[k]);
        }
        // One folder per file system, flushed at the end.
        platform::FileInfo st;
        if (ops_.Fstat(folder->fd, st) == 0 &&
            std::find(touchedDevices_.begin(), touchedDevices_.end(), st.device) ==
                touchedDevices_.end()) {
            touchedDevices_.push_back(st.device);
            touched_.push_back(folder);
        }
    }

    SyncSession& session_;
    platform::FileOps& ops_;
    RunView& view_;
    platform::FolderChain& targetTree_;
    const std::vector<platform::FileIdentity>& written_;
    LeftoverSweep& sweep_;
    RunResult& result_;
    const bool toTrash_;
    const std::size_t rootLength_;
    platform::TrashPlaces trash_;
    std::string absoluteRoot_;
    std::vector<platform::FolderRef> touched_;
    std::vector<std::uint64_t> touchedDevices_;
    std::vector<const MyFile*> batch_;
    std::vector<std::string> names_;
    std::vector<int> errors_;
};

} // namespace

void RunDeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                    platform::FolderChain& targetTree,
                    const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                    RunResult& result) {
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
    DeletePhase phase(session, ops, view, targetTree, written, sweep, result);
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
    phase.flush();
    if (!result.stoppedEarly)
        RemoveFolders(session, ops, targetTree, view, result);
}
