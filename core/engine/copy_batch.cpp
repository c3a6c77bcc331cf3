#include "copy_batch.h"

#include "copy_errors.h"
#include "my_file.h"
#include "run_recorder.h"
#include "run_view.h"
#include "work_pool.h"

#include "platform/system_info.h"

#include <algorithm>
#include <system_error>

namespace {

// The batch's copies taken from each folder in turn: a file system changes the names in one
// folder one at a time, so copies that take their names at once should lie in different
// folders. The copies of one folder follow each other in a batch.
template <class Pending>
std::vector<std::size_t> AcrossFolders(const std::vector<Pending>& pending) {
    std::vector<std::pair<std::size_t, std::size_t>> runs; // first and last of each folder
    for (std::size_t k = 0; k < pending.size(); ++k)
        if (k == 0 ||
            pending[k].staged.destination.folder != pending[k - 1].staged.destination.folder)
            runs.emplace_back(k, k);
        else
            runs.back().second = k;
    std::vector<std::size_t> order;
    order.reserve(pending.size());
    while (!runs.empty()) {
        for (auto& [next, last] : runs)
            order.push_back(next++);
        std::erase_if(runs, [](const auto& run) { return run.first > run.second; });
    }
    return order;
}

} // namespace

CopyBatch::CopyBatch(platform::FileOps& ops, RunView& view, RunResult& result,
                     RunRecorder& recorder, WorkPool* pool)
    : ops_(ops), view_(view), result_(result), recorder_(recorder), pool_(pool),
      // A waiting copy holds an open file, and two batches may wait (one being flushed): they
      // leave room for the run's folders.
      maxFiles_(std::clamp<std::size_t>(platform::OpenFilesAllowed() / 4, 64, kMaxFiles)) {}

void CopyBatch::add(const MyFile& f, bool toTarget, const std::string& source,
                    platform::StagedCopy staged) {
    pending_.push_back({source, f.Size, toTarget, std::move(staged)});
    bytes_ += f.Size;
    if (pending_.size() >= maxFiles_ || bytes_ >= kMaxBytes)
        commit();
}

CopyBatch::~CopyBatch() {
    if (flusher_.joinable())
        flusher_.join();
}

// Each file system of `batch` flushed once, which takes the trash's changes there along; where
// one cannot be flushed as a whole, each copy was flushed when it was written.
void CopyBatch::flush(const std::vector<Pending>& batch, Flushed& synced) {
    synced.clear();
    for (const Pending& p : batch) {
        const std::uint64_t device = p.staged.written.device;
        if (std::none_of(synced.begin(), synced.end(),
                         [&](const auto& d) { return d.first == device; }))
            synced.emplace_back(device,
                                p.staged.destination.flushEach
                                    ? 0
                                    : ops_.SyncFileSystemOf(p.staged.destination.folder->fd));
    }
}

// Written ahead: the journal holds every copy of the batch before any of them takes its name,
// and the places of the old versions in the trash are taken. Where the batch's own flush of a
// file system follows, the journal rides on it when it lies there.
void CopyBatch::note() {
    std::vector<std::uint64_t> flushedNext;
    for (Pending& p : pending_) {
        p.action = recorder_.NoteCopy(p.staged, p.toTarget, p.slot);
        const std::uint64_t device = p.staged.written.device;
        if (!p.staged.destination.flushEach &&
            std::find(flushedNext.begin(), flushedNext.end(), device) == flushedNext.end())
            flushedNext.push_back(device);
    }
    recorder_.Durable(flushedNext);
}

void CopyBatch::commit() {
    settle();
    if (pending_.empty())
        return;
    note();
    flushing_.swap(pending_);
    pending_.clear();
    bytes_ = 0;
    // Flushed behind the next batch's copying only where it waits for a disk: on a device
    // where every call waits, each copy was flushed as it was written.
    if (pool_ == nullptr) {
        try {
            flusher_ = std::thread([this] { flush(flushing_, flushed_); });
            return;
        } catch (const std::system_error&) {
            // No thread to be had: flushed here.
        }
    }
    flush(flushing_, flushed_);
    settle();
}

// Puts the flushed batch in place once its flush is done.
void CopyBatch::settle() {
    if (flusher_.joinable())
        flusher_.join();
    if (flushing_.empty())
        return;
    std::vector<platform::FolderRef> namedFolders; // where each file was flushed
    // On a device where every call waits, each copy takes its name on a thread of its own,
    // folder by folder in turn, so that the waits overlap. The results are counted in the
    // batch's order.
    const std::vector<std::size_t> order =
        pool_ != nullptr ? AcrossFolders(flushing_) : std::vector<std::size_t>{};
    placed_.assign(flushing_.size(), {});
    ForEachOn(pool_, flushing_.size(), [&](std::size_t i) {
        const std::size_t k = order.empty() ? i : order[i];
        placed_[k] = place(flushing_[k], flushed_);
    });
    for (std::size_t k = 0; k < flushing_.size(); ++k)
        account(flushing_[k], placed_[k], namedFolders);
    placed_.clear();
    recorder_.CopiesDone();
    std::sort(namedFolders.begin(), namedFolders.end());
    namedFolders.erase(std::unique(namedFolders.begin(), namedFolders.end()), namedFolders.end());
    for (const platform::FolderRef& folder : namedFolders)
        ops_.Fsync(folder->fd);
    flushing_.clear();
}

platform::CopyResult CopyBatch::place(Pending& p, const Flushed& synced) {
    const auto flushed = std::find_if(synced.begin(), synced.end(), [&](const auto& d) {
        return d.first == p.staged.written.device;
    });
    if (flushed->second != 0) {
        platform::DiscardStaged(ops_, p.staged);
        return {flushed->second, platform::CopySide::Destination, p.staged.destination.path};
    }
    platform::TrashCollection* keep = p.slot != RunRecorder::kNoSlot ? recorder_.keep() : nullptr;
    return platform::CommitStaged(ops_, p.staged, keep, p.slot);
}

void CopyBatch::account(Pending& p, const platform::CopyResult& r,
                        std::vector<platform::FolderRef>& namedFolders) {
    if (!r.ok()) {
        recorder_.journal().NotDone(p.action);
        Failed(ops_, view_, result_, p.source, p.staged.destination.path, r);
        return;
    }
    view_.ActionDone(p.toTarget ? RunAction::Copied : RunAction::CopiedBack, p.source, {});
    (p.toTarget ? result_.copied : result_.copiedBack) += 1;
    (p.toTarget ? result_.copiedBytes : result_.copiedBackBytes) += p.size;
    written_.push_back(p.staged.written);
    if (p.staged.destination.flushEach) {
        const platform::FolderRef& folder = p.staged.destination.folder;
        if (namedFolders.empty() || namedFolders.back() != folder)
            namedFolders.push_back(folder);
        return;
    }
    const std::uint64_t device = p.staged.written.device;
    if (std::none_of(unflushedNames_.begin(), unflushedNames_.end(),
                     [&](const auto& d) { return d.first == device; }))
        unflushedNames_.emplace_back(device, p.staged.destination.folder);
}

void CopyBatch::finish() {
    commit();
    settle();
    for (const auto& [device, folder] : unflushedNames_)
        ops_.SyncFileSystemOf(folder->fd);
    unflushedNames_.clear();
}

std::vector<platform::FileIdentity> CopyBatch::takeWritten() {
    std::sort(written_.begin(), written_.end());
    return std::move(written_);
}

void CopyBatch::Failed(platform::FileOps& ops, RunView& view, RunResult& result,
                       const std::string& source, const std::string& destination,
                       const platform::CopyResult& r) {
    FailedItem item;
    item.kind = FailedItem::Kind::Copy;
    item.path = destination;
    item.source = source;
    item.error = r.error;
    item.reason = CopyErrorReason(ops, source, destination, r);
    item.changedSinceLoad = r.problem == platform::CopyProblem::DestinationChanged ||
                            r.problem == platform::CopyProblem::SourceChanged;
    AddFailure(view, result, std::move(item));
}
