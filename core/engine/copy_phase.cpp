#include "copy_phase.h"

#include "compare_trees.h"
#include "copy_batch.h"
#include "copy_progress.h"
#include "copy_window.h"
#include "run_trees.h"
#include "run_view.h"
#include "summary_texts.h"
#include "sync_session.h"
#include "texts.h"
#include "tree_paths.h"
#include "work_pool.h"

#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/flush_policy.h"
#include "platform/system_info.h"
#include "platform/user_locale.h"
#include "rules/rule_decisions.h"

#include <atomic>
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

class CopyPhase {
public:
    CopyPhase(SyncSession& session, platform::FileOps& ops, RunView& view, RunTrees& trees,
              RunResult& result, RunRecorder& recorder, WorkPool* pool)
        : session_(session), ops_(ops), view_(view), trees_(trees), result_(result),
          batch_(ops, view, result, recorder, pool), separator_(platform::UserDecimalSeparator()),
          startRoot_(RootPrefixLength(session.StartPath)),
          targetRoot_(RootPrefixLength(session.TargetPath)) {}

    void run(WorkPool* pool) {
        ticked_ = 0;
        for (const MyFile* f : session_.CopyList) {
            if (f->Selected) {
                session_.TotalSize += f->Size;
                ++ticked_;
            }
        }
        view_.PlannedCopies(FileCount(ticked_), FormatSize(session_.TotalSize));
        if (pool != nullptr)
            inFlight(*pool);
        else
            inOrder();
        // Also when the run was stopped: these copies are complete.
        batch_.finish();
    }

    std::vector<platform::FileIdentity> takeWritten() { return batch_.takeWritten(); }

private:
    bool stopNow() {
        if (!stop_ && view_.StopRequested()) {
            stop_ = true;
            result_.stoppedEarly = true;
        }
        return stop_;
    }

    void inOrder() {
        CopyJob job;
        for (MyFile* f : session_.CopyList) {
            if (!f->Selected)
                continue;
            if (stopNow())
                break;
            prepare(*f, job);
            show(job);
            view_.PumpEvents();
            if (job.result.ok())
                stage(job, [&](std::int64_t transferred, std::int64_t fileSize) {
                    progress(transferred, fileSize, session_.DoneSize);
                    view_.PumpEvents();
                });
            settle(job);
        }
    }

    // The copies are added in the list's order and settled in it; a window of many per
    // thread, so that the workers find copies into different folders and one large file does
    // not leave the others idle.
    void inFlight(WorkPool& pool) {
        CopyWindow window(static_cast<std::size_t>(pool.threads()) * 16);
        for (MyFile* f : session_.CopyList) {
            if (!f->Selected)
                continue;
            if (stopNow())
                break;
            if (window.full())
                settleFirst(window, pool);
            CopyJob& job = window.Next();
            prepare(*f, job);
            // Read before it is added: from then on a worker may take it and write its result.
            const bool toStage = job.result.ok();
            window.Add(toStage);
            if (toStage)
                pool.Add([this, &window] { work(window); });
        }
        while (!window.empty())
            settleFirst(window, pool);
    }

    // On a worker: one copy, unless the run was stopped before it began.
    void work(CopyWindow& window) {
        CopyJob& job = window.Pick(stop_.load());
        if (job.state == CopyJob::Left)
            return;
        stage(job, [&job](std::int64_t transferred, std::int64_t) {
            job.transferred.store(transferred, std::memory_order_relaxed);
        });
        job.state = CopyJob::Done;
    }

    // Shows the copies under way until the oldest one is done, then settles it.
    void settleFirst(CopyWindow& window, WorkPool& pool) {
        CopyJob& job = window.First();
        while (job.state < CopyJob::Done) {
            pool.WaitForAnyDone(std::chrono::milliseconds(50));
            showInFlight(window.jobs());
            view_.PumpEvents();
            stopNow();
        }
        if (job.state == CopyJob::Done)
            settle(job);
        window.DropFirst();
    }

    // The largest file being copied is shown, with its progress; the whole includes what every
    // copy in flight has written.
    void showInFlight(const std::vector<CopyJob>& window) {
        const CopyJob* shown = nullptr;
        std::int64_t moving = 0;
        for (const CopyJob& job : window) {
            const int state = job.state;
            if (state != CopyJob::Running && state != CopyJob::Done)
                continue;
            moving += job.transferred.load(std::memory_order_relaxed);
            if (state == CopyJob::Running &&
                (shown == nullptr || job.file->Size > shown->file->Size))
                shown = &job;
        }
        if (shown == nullptr)
            return;
        if (shown->number != shownNumber_)
            show(*shown);
        const std::int64_t transferred = shown->transferred.load(std::memory_order_relaxed);
        progress(transferred, shown->file->Size, session_.DoneSize + moving - transferred);
    }

    void show(const CopyJob& job) {
        shownNumber_ = job.number;
        view_.CurrentFile(AfterLastSlash(job.destination), UpToLastSlash(job.source),
                          UpToLastSlash(job.destination));
    }

    void progress(std::int64_t transferred, std::int64_t fileSize, std::int64_t done) {
        const auto elapsed = static_cast<std::int32_t>(win::GetTickCount() - session_.StartTicks);
        view_.CopyProgress(
            CopyCallback(transferred, fileSize, session_.TotalSize, done, elapsed, separator_));
    }

    // The copy is in the batch, or listed with its reason.
    void settle(CopyJob& job) {
        MyFile& f = *job.file;
        if (job.result.ok())
            batch_.add(f, f.IsStart, job.source, std::move(job.staged));
        else
            CopyBatch::Failed(ops_, view_, result_, job.source, job.destination, job.result);
        session_.DoneSize += f.Size;
        ++processed_;
        view_.FilesLeft(FileCount(ticked_ - processed_));
    }

    void prepare(MyFile& f, CopyJob& job) {
        job.file = &f;
        job.number = ++numbered_;
        job.source = f.Path();
        job.destination = CounterpartPath(session_, job.source, f.IsStart);
        job.in = {nullptr, f.Name(), job.source};
        job.out = {nullptr, f.Name(), job.destination};
        job.seen = session_.CounterpartOf(f);
        job.staged = {};
        job.transferred = 0;
        job.state = CopyJob::Waiting;
        job.result = openEnds(f, job.in, job.out);
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

    // Writes the copy into a temporary file beside its destination; on a worker thread when
    // copies are in flight, so it reads nothing the run's thread changes meanwhile.
    void stage(CopyJob& job, const platform::CopyProgress& progress) {
        const MyFile& f = *job.file;
        const auto sourceCheck = [&](const platform::FileInfo& now) {
            return StillChosen(session_, f, job.seen, now);
        };
        job.result = f.IsLink() ? platform::StageLink(ops_, job.in, job.out, job.seen, sourceCheck,
                                                      job.staged)
                                : platform::StageCopy(ops_, job.in, job.out, job.seen,
                                                      (f.Attributes & platform::kAttrReadOnly) != 0,
                                                      sourceCheck, progress, job.staged);
        if (job.result.ok())
            job.transferred.store(f.Size, std::memory_order_relaxed);
    }

    SyncSession& session_;
    platform::FileOps& ops_;
    RunView& view_;
    RunTrees& trees_;
    RunResult& result_;
    CopyBatch batch_;
    const char separator_;
    const std::size_t startRoot_;
    const std::size_t targetRoot_;
    platform::FolderRef lastFolder_;
    bool flushEach_ = false;
    std::atomic<bool> stop_{false};
    std::int64_t ticked_ = 0, processed_ = 0;
    std::uint64_t numbered_ = 0, shownNumber_ = 0;
};

} // namespace

std::vector<platform::FileIdentity> RunCopyPhase(SyncSession& session, platform::FileOps& ops,
                                                 RunView& view, RunTrees& trees, RunResult& result,
                                                 RunRecorder& recorder, WorkPool* pool) {
    if (session.CopyList.empty())
        return {};
    CopyPhase copies(session, ops, view, trees, result, recorder, pool);
    copies.run(pool);
    return copies.takeWritten();
}
