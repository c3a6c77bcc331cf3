#pragma once

#include "platform/file_copy.h"

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class RunRecorder;
struct MyFile;
class RunView;
struct RunResult;
class WorkPool;

// Copies are written into temporary files and put in place in batches: one flush of the
// file system makes a whole batch durable, where one flush per file would cost more than the
// copying of many small files. Until its commit a destination keeps its old content. Where a
// file system cannot be flushed as a whole, each copy was flushed when it was written, and
// the folders that got new names are flushed after the batch. The batch's records reach the
// run's journal before its data is flushed, and a replaced file's old version is kept in the
// trash before the copy takes its name.
//
// On a local disk a batch's flush runs on a thread of its own while the next batch is
// written; its copies take their names once it is done, when the next batch is full or the
// copying ends. Nothing takes its name before the flush that makes it durable has returned.
class CopyBatch {
public:
    static constexpr std::size_t kMaxFiles = 2048; // each may hold an open file
    static constexpr std::int64_t kMaxBytes = 256LL << 20;

    // With `pool`, the copies of a batch take their names on its threads.
    CopyBatch(platform::FileOps& ops, RunView& view, RunResult& result, RunRecorder& recorder,
              WorkPool* pool = nullptr);
    // Waits for a flush under way; what it flushed stays under its temporary name.
    ~CopyBatch();
    CopyBatch(const CopyBatch&) = delete;
    CopyBatch& operator=(const CopyBatch&) = delete;

    // `toTarget`: a copy from the start tree to the target tree, else a copy back.
    void add(const MyFile& f, bool toTarget, const std::string& source,
             platform::StagedCopy staged);
    // Puts the copies of the batch flushed before in place, then flushes the waiting copies'
    // data: in the background where that may be, else here, and puts them in place too.
    void commit();
    // Commits what waits and puts it in place, then flushes the file systems once more, so
    // that the last names given are on the disk too before the run reports that it is done.
    void finish();

    // Every file this run wrote, sorted: a path that leads to one of them is never deleted.
    std::vector<platform::FileIdentity> takeWritten();

    // Lists a failed copy with its reason.
    static void Failed(platform::FileOps& ops, RunView& view, RunResult& result,
                       const std::string& source, const std::string& destination,
                       const platform::CopyResult& r);

private:
    struct Pending {
        std::string source;
        std::int64_t size;
        bool toTarget;
        platform::StagedCopy staged;
        std::size_t action = 0; // in the journal
        std::size_t slot = 0;   // the old version's place in the trash
    };
    using Flushed = std::vector<std::pair<std::uint64_t, int>>; // device, error
    void note();
    void flush(const std::vector<Pending>& batch, Flushed& synced);
    void settle();
    platform::CopyResult place(Pending& p, const Flushed& synced);
    void account(Pending& p, const platform::CopyResult& r,
                 std::vector<platform::FolderRef>& namedFolders);

    platform::FileOps& ops_;
    RunView& view_;
    RunResult& result_;
    RunRecorder& recorder_;
    WorkPool* pool_;
    std::vector<Pending> pending_;  // written, waiting for the batch to be full
    std::vector<Pending> flushing_; // in the journal, flushed by `flusher_` or just now
    Flushed flushed_;               // what the flush of `flushing_` gave, once it is done
    std::thread flusher_;
    std::vector<platform::CopyResult> placed_; // each flushed copy's, once put in place
    std::size_t maxFiles_;
    std::int64_t bytes_ = 0;
    // One open folder per file system that got new names since its last flush.
    std::vector<std::pair<std::uint64_t, platform::FolderRef>> unflushedNames_;
    std::vector<platform::FileIdentity> written_;
};
