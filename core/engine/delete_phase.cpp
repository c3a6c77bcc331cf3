#include "delete_phase.h"

#include "copy_errors.h"
#include "leftover_sweep.h"
#include "platform/file_copy.h"
#include "platform/file_ops.h"
#include "platform/trash.h"
#include "sync_run.h"
#include "sync_session.h"

#include <algorithm>
#include <cerrno>

namespace {

std::size_t RootPrefixLength(const std::string& root) {
    return root.empty() || root.back() != '/' ? root.size() + 1 : root.size();
}

const char* const kChangedSinceLoad = "Die Zieldatei wurde nach dem Laden geändert.";
const char* const kLinkOnTheWay = "Ein Teil des Pfads ist eine symbolische Verknüpfung.";

enum class Verdict { Delete, Leave, Fail };

// Looks at a file once more just before it is deleted: only the very file the load saw is
// deleted. A file that is gone needs nothing; one this run wrote is never deleted (on a
// target that ignores letter case, the old spelling of a renamed file is the file the run
// just copied under its new one).
Verdict Recheck(platform::FileOps& ops, int dirFd, const MyFile& f,
                const platform::SeenDestination& loaded,
                const std::vector<platform::FileIdentity>& written, std::string& reason) {
    platform::FileInfo st;
    if (int err = ops.StatAt(dirFd, f.Name(), st); err != 0) {
        if (err == ENOENT)
            return Verdict::Leave;
        reason = ErrorDescription(err);
        return Verdict::Fail;
    }
    const platform::FileIdentity id{st.device, st.inode};
    if (std::binary_search(written.begin(), written.end(), id))
        return Verdict::Leave;
    if (!platform::StillAsSeen(st, loaded)) {
        reason = kChangedSinceLoad;
        return Verdict::Fail;
    }
    return Verdict::Delete;
}

} // namespace

void RunDeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                    platform::FolderChain& targetTree,
                    const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                    RunResult& result) {
    if (!session.CurrentRule.deletesOnTarget())
        return;
    std::vector<const MyFile*> chosen;
    for (const MyFile* f : session.DeleteList)
        if (f->Selected)
            chosen.push_back(f);
    if (chosen.empty())
        return;
    view.StatusText("Löschvorgang...");
    const bool toTrash = session.CurrentRule.ReverseAction == kMoveToTrash;
    if (!view.ConfirmDelete(chosen.size(), toTrash)) {
        result.deleteDeclined = true;
        return;
    }
    const platform::TrashPlaces trash =
        toTrash ? platform::CurrentTrashPlaces() : platform::TrashPlaces{};
    const std::size_t rootLength = RootPrefixLength(session.TargetPath);
    // The trash records where a file came from, and finds the top of its file system from
    // there: it needs the absolute path even where the root was given relative.
    std::string absoluteRoot = platform::AbsolutePath(session.TargetPath);
    if (absoluteRoot.empty() || absoluteRoot.back() != '/')
        absoluteRoot += '/';
    std::vector<DeleteFailure> failures;
    std::vector<platform::FolderRef> touched; // one folder per file system, flushed at the end
    std::vector<std::uint64_t> touchedDevices;
    std::vector<const MyFile*> batch;
    std::vector<std::string> names;
    std::vector<int> errors;

    // The files of one folder follow each other in the list: each folder is opened once,
    // without following links, and its files are deleted together.
    for (std::size_t i = 0; i < chosen.size();) {
        if (view.StopRequested()) {
            result.stoppedEarly = true;
            break;
        }
        const std::string_view folderPath = chosen[i]->FolderView();
        std::size_t end = i + 1;
        while (end < chosen.size() && chosen[end]->FolderView() == folderPath)
            ++end;
        const std::string_view relative =
            folderPath.size() > rootLength ? folderPath.substr(rootLength) : std::string_view();
        platform::FolderRef folder;
        const int err = targetTree.Resolve(relative, false, folder);
        if (err == 0)
            sweep.Folder(false, relative, folder);
        batch.clear();
        names.clear();
        for (std::size_t k = i; k < end; ++k) {
            const MyFile* f = chosen[k];
            std::string reason;
            Verdict verdict = Verdict::Leave; // gone with its folder: nothing left to delete
            if (err == ELOOP)
                verdict = Verdict::Fail, reason = kLinkOnTheWay;
            else if (err != 0 && err != ENOENT)
                verdict = Verdict::Fail, reason = ErrorDescription(err);
            else if (err == 0)
                verdict = Recheck(ops, folder->fd, *f, session.AsLoaded(*f), written, reason);
            if (verdict == Verdict::Fail)
                failures.push_back({f->Path(), std::move(reason)});
            else if (verdict == Verdict::Leave)
                ++result.deleted;
            else {
                batch.push_back(f);
                names.emplace_back(f->Name());
            }
        }
        if (!batch.empty()) {
            errors.assign(names.size(), 0);
            if (toTrash) {
                platform::MoveAllToTrash(ops, folder->fd, absoluteRoot + std::string(relative),
                                         names, trash, errors);
            } else {
                for (std::size_t k = 0; k < names.size(); ++k)
                    errors[k] = ops.UnlinkAt(folder->fd, names[k], 0);
            }
            for (std::size_t k = 0; k < batch.size(); ++k) {
                if (errors[k] != 0)
                    failures.push_back({batch[k]->Path(), ErrorDescription(errors[k])});
                else
                    ++result.deleted;
            }
            platform::FileInfo st;
            if (ops.Fstat(folder->fd, st) == 0 &&
                std::find(touchedDevices.begin(), touchedDevices.end(), st.device) ==
                    touchedDevices.end()) {
                touchedDevices.push_back(st.device);
                touched.push_back(folder);
            }
        }
        view.PumpEvents();
        i = end;
    }
    // The deletions are on the disk before the run reports that it is done.
    for (const platform::FolderRef& folder : touched)
        ops.SyncFileSystemOf(folder->fd);
    result.deleteFailures = failures.size();
    if (!failures.empty())
        view.DeleteFailed(failures);
}
