#include "sync_run.h"

#include "folder_phase.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "copy_phase.h"
#include "delete_phase.h"
#include "leftover_sweep.h"
#include "platform/device_waits.h"
#include "platform/file_system.h"
#include "platform/state_folder.h"
#include "platform/system_info.h"
#include "run_recorder.h"
#include "run_trees.h"
#include "settings/app_settings.h"
#include "sync_session.h"
#include "texts.h"
#include "work_pool.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

// A root whose identity the load could not take is never taken on trust.
bool SameFolder(const FolderIdentity& loaded, const platform::FileIdentity& now) {
    // A folder removed and made again may get the same inode; its birth time differs.
    return loaded.known && loaded.device == now.device && loaded.inode == now.inode &&
           (loaded.birth == 0 || now.birth == 0 || loaded.birth == now.birth);
}

// Why a root cannot be opened for the run: gone, or there but not readable.
std::string RootProblem(const std::string& which, const std::string& path, int err) {
    if (err == ENOENT || err == ENOTDIR)
        return which + " \"" + path + "\" ist nicht mehr vorhanden.";
    return which + " \"" + path + "\" kann nicht gelesen werden: " + ErrorDescription(err);
}

// Opens both roots and checks that they are still the folders that were loaded: a stick
// pulled out and a folder created in its place must not be filled.
std::string OpenRoots(const SyncSession& session, RunTrees& trees, platform::FileIdentity& start,
                      platform::FileIdentity& target) {
    const std::string again = " Bitte laden Sie die Ordner neu.";
    int err = trees.startRead.OpenRoot(session.StartPath, &start);
    if (err == 0)
        err = trees.startWrite.OpenRoot(session.StartPath);
    if (err != 0)
        return RootProblem("Der Startordner", session.StartPath, err) + again;
    err = trees.targetRead.OpenRoot(session.TargetPath, &target);
    if (err == 0)
        err = trees.targetWrite.OpenRoot(session.TargetPath);
    if (err != 0)
        return RootProblem("Der Zielordner", session.TargetPath, err) + again;
    if (!SameFolder(session.StartRoot, start))
        return "Der Startordner \"" + session.StartPath +
               "\" ist nicht mehr derselbe Ordner wie beim Laden." + again;
    if (!SameFolder(session.TargetRoot, target))
        return "Der Zielordner \"" + session.TargetPath +
               "\" ist nicht mehr derselbe Ordner wie beim Laden." + again;
    return {};
}

// Where either tree lies on a device on which every call waits, copies and deletions are kept
// under way on several threads at once; on local disks one at a time is fastest.
std::unique_ptr<WorkPool> PoolFor(platform::FileOps& ops, RunTrees& trees) {
    int most = 1;
    for (platform::FolderChain* tree : {&trees.startRead, &trees.targetRead}) {
        platform::FolderRef root;
        if (tree->Resolve("", false, root) == 0)
            most = std::max(most, platform::CallsInFlight(ops, root->fd));
    }
    return most > 1 ? std::make_unique<WorkPool>(most) : nullptr;
}

} // namespace

UndoKeeping UndoKeeping::Current() {
    return {platform::JournalFolder(), AppSettings::LoadKeepReplaced()};
}

RunResult RunSynchronisation(SyncSession& session, platform::FileOps& ops, RunView& view,
                             const UndoKeeping& keeping) {
    RunResult result;
    session.TotalSize = 0;
    session.DoneSize = 0;
    session.StartTicks = win::GetTickCount();
    RunTrees trees(ops);
    platform::FileIdentity start, target;
    result.refused = OpenRoots(session, trees, start, target);
    if (!result.refused.empty())
        return result;

    RunRecorder recorder(ops, session, keeping.keepReplaced);
    recorder.Begin(keeping.journalFolder, start, target, trees.startWrite, trees.targetWrite);
    LeftoverSweep sweep(ops);
    sweep.Noted(session, trees.startWrite, trees.targetWrite);
    MakeFolders(session, trees.targetWrite, trees.startWrite, view, result);
    std::unique_ptr<WorkPool> pool = PoolFor(ops, trees);
    const std::vector<platform::FileIdentity> written =
        RunCopyPhase(session, ops, view, trees, result, recorder, pool.get());
    if (!result.stoppedEarly)
        RunDeletePhase(session, ops, view, trees.targetWrite, written, sweep, result, recorder,
                       pool.get());
    recorder.End();
    result.undoNote = recorder.journal().problem();
    result.milliseconds = static_cast<std::uint32_t>(win::GetTickCount() - session.StartTicks);
    return result;
}
