#include "sync_run.h"

#include "folder_phase.h"

#include "compare_trees.h"
#include "copy_batch.h"
#include "copy_errors.h"
#include "delete_phase.h"
#include "leftover_sweep.h"
#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/flush_policy.h"
#include "platform/state_folder.h"
#include "platform/system_info.h"
#include "platform/user_locale.h"
#include "rules/rule_decisions.h"
#include "run_recorder.h"
#include "settings/app_settings.h"
#include "summary_texts.h"
#include "sync_session.h"
#include "texts.h"
#include "tree_paths.h"

#include <cerrno>

namespace {

std::string UpToLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AfterLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Both roots, opened once for the run; every folder below them is reached from these.
struct Trees {
    explicit Trees(platform::FileOps& ops)
        : startRead(ops), startWrite(ops), targetRead(ops), targetWrite(ops) {}
    platform::FolderChain startRead, startWrite, targetRead, targetWrite;
};

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
std::string OpenRoots(const SyncSession& session, Trees& trees, platform::FileIdentity& start,
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

// A source that changed since the load is copied as it is now only while it still wins
// under the rule against what was seen at the destination.
bool StillChosen(const SyncSession& session, const MyFile& f, const platform::SeenDestination& seen,
                 const platform::FileInfo& now) {
    const DateTime time = DateTimeFromUnix(now.writeSeconds());
    if (now.size == f.Size && time == f.LastWrite)
        return true;
    if (f.IsStart)
        return StartFileChosen(session.CurrentRule.CopyCondition, time, seen);
    return TargetFileChoice(session.CurrentRule.ReverseAction, time, seen) ==
           TargetChoice::CopyBack;
}

// Copies every ticked entry of the copy list in its own direction, in batches.
class CopyPhase {
public:
    CopyPhase(SyncSession& session, platform::FileOps& ops, RunView& view, Trees& trees,
              RunResult& result, RunRecorder& recorder)
        : session_(session), ops_(ops), view_(view), trees_(trees), result_(result),
          batch_(ops, view, result, recorder), separator_(platform::UserDecimalSeparator()),
          startRoot_(RootPrefixLength(session.StartPath)),
          targetRoot_(RootPrefixLength(session.TargetPath)) {}

    void run() {
        std::int64_t ticked = 0;
        for (const MyFile* f : session_.CopyList) {
            if (f->Selected) {
                session_.TotalSize += f->Size;
                ++ticked;
            }
        }
        view_.PlannedCopies(FileCount(ticked), FormatSize(session_.TotalSize));
        std::int64_t processed = 0;
        for (MyFile* f : session_.CopyList) {
            if (!f->Selected)
                continue;
            if (view_.StopRequested()) {
                result_.stoppedEarly = true;
                break;
            }
            copy(*f);
            session_.DoneSize += f->Size;
            ++processed;
            view_.FilesLeft(FileCount(ticked - processed));
        }
        // Also when the run was stopped: these copies are complete.
        batch_.finish();
    }

    std::vector<platform::FileIdentity> takeWritten() { return batch_.takeWritten(); }

private:
    void copy(MyFile& f) {
        const std::string source = f.Path();
        const std::string destination = CounterpartPath(session_, source, f.IsStart);
        view_.CurrentFile(AfterLastSlash(destination), UpToLastSlash(source),
                          UpToLastSlash(destination));
        view_.PumpEvents();
        platform::CopyEnd in{nullptr, f.Name(), source};
        platform::CopyEnd out{nullptr, f.Name(), destination};
        platform::CopyResult result = openEnds(f, in, out);
        if (result.ok())
            result = stage(f, in, out);
        if (!result.ok())
            CopyBatch::Failed(ops_, view_, result_, source, destination, result);
    }

    // Opens the folders of both ends below their roots, never through a link; the
    // destination's folders are made where missing.
    platform::CopyResult openEnds(const MyFile& f, platform::CopyEnd& in, platform::CopyEnd& out) {
        platform::FolderChain& from = f.IsStart ? trees_.startRead : trees_.targetRead;
        platform::FolderChain& to = f.IsStart ? trees_.targetWrite : trees_.startWrite;
        const std::string_view relative =
            RelativeFolder(f.FolderView(), f.IsStart ? startRoot_ : targetRoot_);
        const auto failed = [](int err, platform::CopySide side, const std::string& path) {
            platform::CopyResult r{err, side, path};
            if (err == ELOOP)
                r.problem = platform::CopyProblem::LinkInPath;
            return r;
        };
        if (int err = from.Resolve(relative, false, in.folder); err != 0)
            return failed(err, platform::CopySide::Source, in.path);
        if (int err = to.Resolve(relative, true, out.folder); err != 0)
            return failed(err, platform::CopySide::Destination, out.path);
        // Asked once per folder: whether its file system is flushed as a whole.
        if (out.folder != lastFolder_) {
            lastFolder_ = out.folder;
            flushEach_ = !platform::SyncfsReachesStorageOf(ops_, out.folder->fd);
        }
        out.flushEach = flushEach_;
        return {};
    }

    platform::CopyResult stage(MyFile& f, const platform::CopyEnd& in,
                               const platform::CopyEnd& out) {
        platform::StagedCopy staged;
        const platform::SeenDestination seen = session_.CounterpartOf(f);
        const auto sourceCheck = [&](const platform::FileInfo& now) {
            return StillChosen(session_, f, seen, now);
        };
        const platform::CopyResult result =
            f.IsLink()
                ? platform::StageLink(ops_, in, out, seen, sourceCheck, staged)
                : platform::StageCopy(
                      ops_, in, out, seen, (f.Attributes & platform::kAttrReadOnly) != 0,
                      sourceCheck,
                      [&](std::int64_t transferred, std::int64_t fileSize) {
                          const auto elapsed =
                              static_cast<std::int32_t>(win::GetTickCount() - session_.StartTicks);
                          view_.CopyProgress(CopyCallback(transferred, fileSize, session_.TotalSize,
                                                          session_.DoneSize, elapsed, separator_));
                          view_.PumpEvents();
                      },
                      staged);
        if (result.ok())
            batch_.add(f, f.IsStart, in.path, std::move(staged));
        return result;
    }

    SyncSession& session_;
    platform::FileOps& ops_;
    RunView& view_;
    Trees& trees_;
    RunResult& result_;
    CopyBatch batch_;
    const char separator_;
    const std::size_t startRoot_;
    const std::size_t targetRoot_;
    platform::FolderRef lastFolder_;
    bool flushEach_ = false;
};

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
    Trees trees(ops);
    platform::FileIdentity start, target;
    result.refused = OpenRoots(session, trees, start, target);
    if (!result.refused.empty())
        return result;

    RunRecorder recorder(ops, session, keeping.keepReplaced);
    recorder.Begin(keeping.journalFolder, start, target, trees.startWrite, trees.targetWrite);
    LeftoverSweep sweep(ops);
    sweep.Noted(session, trees.startWrite, trees.targetWrite);
    MakeFolders(session, trees.targetWrite, trees.startWrite, view, result);
    CopyPhase copies(session, ops, view, trees, result, recorder);
    if (!session.CopyList.empty())
        copies.run();
    if (!result.stoppedEarly)
        RunDeletePhase(session, ops, view, trees.targetWrite, copies.takeWritten(), sweep, result,
                       recorder);
    recorder.End();
    result.undoNote = recorder.journal().problem();
    result.milliseconds = static_cast<std::uint32_t>(win::GetTickCount() - session.StartTicks);
    return result;
}
