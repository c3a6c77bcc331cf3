#include "copy_batch.h"

#include "copy_errors.h"
#include "my_file.h"
#include "run_recorder.h"
#include "run_view.h"

#include <algorithm>

void CopyBatch::add(const MyFile& f, bool toTarget, const std::string& source,
                    platform::StagedCopy staged) {
    pending_.push_back({source, f.Size, toTarget, std::move(staged)});
    bytes_ += f.Size;
    if (pending_.size() >= kMaxFiles || bytes_ >= kMaxBytes)
        commit();
}

int CopyBatch::syncOnce(const platform::StagedCopy& staged, Flushed& synced) {
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
    // Written ahead: the journal holds every copy of the batch before any of them takes its
    // name, and the places of the old versions in the trash are taken.
    std::vector<std::uint64_t> devices;
    for (Pending& p : pending_) {
        p.action = recorder_.NoteCopy(p.staged, p.toTarget, p.slot);
        if (std::find(devices.begin(), devices.end(), p.staged.written.device) == devices.end())
            devices.push_back(p.staged.written.device);
    }
    recorder_.Durable(devices);
    Flushed synced; // one flush per file system, which takes the trash's changes there along
    for (const Pending& p : pending_)
        syncOnce(p.staged, synced);
    for (Pending& p : pending_)
        put(p, synced);
    recorder_.CopiesDone();
    pending_.clear();
    bytes_ = 0;
}

void CopyBatch::put(Pending& p, const Flushed& synced) {
    platform::CopyResult r;
    const auto flushed = std::find_if(synced.begin(), synced.end(), [&](const auto& d) {
        return d.first == p.staged.written.device;
    });
    if (flushed->second != 0) {
        platform::DiscardStaged(ops_, p.staged);
        r = {flushed->second, platform::CopySide::Destination, p.staged.destination.path};
    } else {
        platform::TrashCollection* keep =
            p.slot != RunRecorder::kNoSlot ? recorder_.keep() : nullptr;
        r = platform::CommitStaged(ops_, p.staged, keep, p.slot);
    }
    if (!r.ok()) {
        recorder_.journal().NotDone(p.action);
        Failed(ops_, result_, p.source, p.staged.destination.path, r);
        return;
    }
    (p.toTarget ? result_.copied : result_.copiedBack) += 1;
    (p.toTarget ? result_.copiedBytes : result_.copiedBackBytes) += p.size;
    written_.push_back(p.staged.written);
    const std::uint64_t device = p.staged.written.device;
    if (std::none_of(unflushedNames_.begin(), unflushedNames_.end(),
                     [&](const auto& d) { return d.first == device; }))
        unflushedNames_.emplace_back(device, p.staged.destination.folder);
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

void CopyBatch::Failed(platform::FileOps& ops, RunResult& result, const std::string& source,
                       const std::string& destination, const platform::CopyResult& r) {
    FailedItem item;
    item.kind = FailedItem::Kind::Copy;
    item.path = destination;
    item.source = source;
    item.error = r.error;
    item.reason = CopyErrorReason(ops, source, destination, r);
    item.changedSinceLoad = r.problem == platform::CopyProblem::DestinationChanged ||
                            r.problem == platform::CopyProblem::SourceChanged;
    result.failures.push_back(std::move(item));
}
