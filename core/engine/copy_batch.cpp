#include "copy_batch.h"

#include "copy_errors.h"
#include "my_file.h"
#include "run_view.h"

#include <algorithm>

void CopyBatch::add(const MyFile& f, bool toTarget, const std::string& source,
                    platform::StagedCopy staged) {
    pending_.push_back({source, f.Size, toTarget, std::move(staged)});
    bytes_ += f.Size;
    if (pending_.size() >= kMaxFiles || bytes_ >= kMaxBytes)
        commit();
}

int CopyBatch::syncOnce(const platform::StagedCopy& staged,
                        std::vector<std::pair<std::uint64_t, int>>& synced) {
    const std::uint64_t device = staged.written.device;
    auto it = std::find_if(synced.begin(), synced.end(),
                           [&](const auto& d) { return d.first == device; });
    if (it != synced.end())
        return it->second;
    const int err = ops_.SyncFileSystemOf(staged.destination.folder->fd);
    synced.emplace_back(device, err);
    return err;
}

void CopyBatch::commit() {
    std::vector<std::pair<std::uint64_t, int>> synced; // one flush per file system
    for (Pending& p : pending_) {
        platform::CopyResult r;
        if (const int err = syncOnce(p.staged, synced); err != 0) {
            platform::DiscardStaged(ops_, p.staged);
            r = {err, platform::CopySide::Destination, p.staged.destination.path};
        } else {
            r = platform::CommitStaged(ops_, p.staged);
        }
        if (!r.ok()) {
            Failed(ops_, view_, result_, p.source, p.staged.destination.path, r);
            continue;
        }
        view_.ActionDone(p.toTarget ? RunAction::Copied : RunAction::CopiedBack, p.source, {});
        (p.toTarget ? result_.copied : result_.copiedBack) += 1;
        (p.toTarget ? result_.copiedBytes : result_.copiedBackBytes) += p.size;
        written_.push_back(p.staged.written);
        const std::uint64_t device = p.staged.written.device;
        if (std::none_of(unflushedNames_.begin(), unflushedNames_.end(),
                         [&](const auto& d) { return d.first == device; }))
            unflushedNames_.emplace_back(device, p.staged.destination.folder);
    }
    pending_.clear();
    bytes_ = 0;
}

void CopyBatch::finish() {
    commit();
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
