#include "sync_run.h"

#include "compare_trees.h"
#include "copy_errors.h"
#include "platform/file_copy.h"
#include "platform/system_info.h"
#include "platform/user_locale.h"
#include "sync_session.h"
#include "texts.h"

#include <algorithm>
#include <vector>

namespace {

std::string Files(std::int64_t count) {
    return std::to_string(count) + " Dateien";
}

std::string UpToLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AfterLastSlash(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

namespace {

// Copies are written into temporary files and renamed into place in batches: one flush of
// the file system makes a whole batch durable, where one flush per file would cost more than
// the copying of many small files. Until its rename a destination keeps its old content.
class CopyBatch {
public:
    static constexpr std::size_t kMaxFiles = 128; // each may hold an open file
    static constexpr std::int64_t kMaxBytes = 64LL << 20;

    CopyBatch(platform::FileOps& ops, RunView& view, RunResult& result)
        : ops_(ops), view_(view), result_(result) {}

    void add(MyFile* f, const std::string& source, platform::StagedCopy staged) {
        pending_.push_back({f, source, std::move(staged)});
        bytes_ += f->Size;
        if (pending_.size() >= kMaxFiles || bytes_ >= kMaxBytes)
            commit();
    }

    void commit() {
        std::vector<std::pair<dev_t, int>> synced; // one flush per file system
        for (Pending& p : pending_) {
            auto it = std::find_if(synced.begin(), synced.end(),
                                   [&](const auto& d) { return d.first == p.staged.device; });
            if (it == synced.end()) {
                synced.emplace_back(p.staged.device, ops_.SyncFileSystem(p.staged.folder));
                it = synced.end() - 1;
            }
            platform::CopyResult r;
            if (it->second != 0) {
                platform::DiscardStaged(ops_, p.staged);
                r = {it->second, platform::CopySide::Destination, p.staged.destination};
            } else {
                r = platform::CommitStaged(ops_, p.staged);
            }
            if (!r.ok())
                Failed(ops_, view_, result_, p.source, p.staged.destination, r);
            FixAttributes(ops_, *p.file, p.staged.destination);
        }
        pending_.clear();
        bytes_ = 0;
    }

    static void Failed(platform::FileOps& ops, RunView& view, RunResult& result,
                       const std::string& source, const std::string& destination,
                       const platform::CopyResult& r) {
        view.CopyFailed(source, destination, CopyErrorReason(ops, source, destination, r));
        result.anyCopyFailed = true;
    }

    // After each copy, failed or not, the destination gets the attributes the scan found.
    static void FixAttributes(platform::FileOps& ops, const MyFile& f,
                              const std::string& destination) {
        if (platform::GetFileAttributesA(ops, destination) != f.Attributes)
            platform::SetFileAttributesA(ops, destination, f.Attributes);
    }

private:
    struct Pending {
        MyFile* file;
        std::string source;
        platform::StagedCopy staged;
    };
    platform::FileOps& ops_;
    RunView& view_;
    RunResult& result_;
    std::vector<Pending> pending_;
    std::int64_t bytes_ = 0;
};

} // namespace

RunResult RunCopyPhase(SyncSession& session, platform::FileOps& ops, RunView& view) {
    RunResult result;
    session.TotalSize = 0;
    session.DoneSize = 0;
    session.StartTicks = win::GetTickCount();
    if (session.CopyList.empty())
        return result;

    std::int64_t ticked = 0;
    for (const MyFile* f : session.CopyList) {
        if (f->Selected) {
            session.TotalSize += f->Size;
            ++ticked;
        }
    }
    view.PlannedCopies(Files(ticked), FormatSize(session.TotalSize));

    const char separator = platform::UserDecimalSeparator();
    CopyBatch batch(ops, view, result);
    std::int64_t processed = 0;
    bool haveFolder = false;
    std::string lastFolder;
    for (MyFile* f : session.CopyList) {
        if (!f->Selected)
            continue;
        if (view.StopRequested()) {
            result.stoppedEarly = true;
            break;
        }
        const std::string source = f->Path();
        const std::string destination = CounterpartPath(session, source, f->IsStart);
        const std::string to = UpToLastSlash(destination);
        view.CurrentFile(AfterLastSlash(destination), UpToLastSlash(source), to);
        // The destination folder chain is made when the folder changes; a folder that cannot
        // be made shows up as a failed copy.
        if (!haveFolder || to != lastFolder) {
            platform::MakeSureDirectoryPathExists(ops, to + "/");
            lastFolder = to;
            haveFolder = true;
        }
        view.PumpEvents();

        platform::StagedCopy staged;
        const platform::CopyResult copy = platform::StageCopy(
            ops, source, destination,
            [&](std::int64_t transferred, std::int64_t fileSize) {
                const auto elapsed =
                    static_cast<std::int32_t>(win::GetTickCount() - session.StartTicks);
                view.CopyProgress(CopyCallback(transferred, fileSize, session.TotalSize,
                                               session.DoneSize, elapsed, separator));
                view.PumpEvents();
            },
            false, staged);
        if (copy.ok()) {
            batch.add(f, source, staged);
        } else {
            CopyBatch::Failed(ops, view, result, source, destination, copy);
            CopyBatch::FixAttributes(ops, *f, destination);
        }
        session.DoneSize += f->Size;
        ++processed;
        view.FilesLeft(Files(ticked - processed));
    }
    batch.commit(); // also when the window is closing: these copies are complete
    return result;
}

void RunDeletePhase(SyncSession& session, RunView& view) {
    const int reverse = session.CurrentRule.ReverseAction;
    if ((reverse != 4 && reverse != 5) || session.DeleteList.empty())
        return;
    std::string pathList;
    for (const MyFile* f : session.DeleteList) {
        if (f->Selected) {
            pathList += f->Path();
            pathList += '\0';
        }
    }
    if (pathList.empty())
        return;
    pathList += '\0';
    view.StatusText("Löschvorgang...");
    view.DeleteFiles(EnsureDoubleNull(std::move(pathList)), reverse == 4, true);
}

std::string EnsureDoubleNull(std::string text) {
    const std::size_t n = text.size();
    if (n >= 2 && text[n - 1] == '\0' && text[n - 2] == '\0')
        return text;
    if (n == 0 || text[n - 1] != '\0')
        text.append(2, '\0');
    else
        text += '\0';
    return text;
}
