#pragma once

#include "folder_handover.h"
#include "platform/file_system.h"
#include "platform/seen_file.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>

class CounterpartLookups;
class EventThrottle;
class LoadView;
struct MyFile;
struct SyncSession;
namespace platform {
class FileSystem;
}

// Compares both trees folder by folder while their scans still run, as each scan hands its
// folders over: both scans report in the same order, so a folder's files are met in both trees
// at the same point, and each file is compared with its counterpart the other scan saw, or with
// what the other scan's listing of the folder holds at that name where the scan did not report
// it (nothing, a folder, a link, a file left out by the attribute options). Only where the
// other scan did not list that folder in full is the file system asked (below the other root
// without following links, as the run will write there). Only the files that go on a list are kept,
// as the session's records; the rest is let go with its folder. The lists are made of the records
// at the end: the start tree's chosen files come first on the copy list, then the target's, each in
// scan order.
class TreeComparison {
public:
    TreeComparison(SyncSession& session, platform::FileSystem& fs, LoadView& view,
                   EventThrottle& throttle, FolderHandover& handover);
    ~TreeComparison();
    TreeComparison(const TreeComparison&) = delete;
    TreeComparison& operator=(const TreeComparison&) = delete;

    // Compares what both scans have handed over as far as both have come. False when
    // "Abbrechen" stopped it.
    bool Advance();
    // Once both scans have ended: compares the rest with the comparison's progress shown, and
    // waits for the last answers. False when "Abbrechen" stopped it.
    bool Finish(std::int64_t progressMaximum);

    std::int64_t StartBytes() const { return startBytes_; }

private:
    struct Side {
        std::deque<std::unique_ptr<ScannedFolder>> folders; // taken, not compared yet
        bool closed = false;
        std::size_t root = 0; // the length of the root's prefix in its folders
    };
    // One folder of either tree or both, with the answers it waits for.
    struct Job {
        std::unique_ptr<ScannedFolder> start, target;
        std::deque<platform::FileState> answers;
        std::atomic<std::size_t> left{0};
    };
    using Tree = FolderHandover::Tree;
    enum class Made { Copy, CopyBack, Deletion }; // which list a record is made for

    void take();
    bool compareReady();
    bool compare(std::unique_ptr<ScannedFolder> start, std::unique_ptr<ScannedFolder> target);
    void ask(Job& job);
    bool decide(const ScannedFolder* start, const ScannedFolder* target, Job* job);
    bool nextEntry();
    bool decideStart(const ScannedFolder& folder, const ScannedFile& file,
                     const platform::SeenDestination& other);
    bool decideTarget(const ScannedFolder& folder, const ScannedFile& file,
                      const platform::SeenDestination& other);
    bool decideFront();
    void release(std::unique_ptr<ScannedFolder> start, std::unique_ptr<ScannedFolder> target);
    MyFile* record(const ScannedFolder& folder, const ScannedFile& file, Made made);
    bool finish(std::int64_t progressMaximum);
    std::string_view relative(const ScannedFolder& folder, Tree tree) const;

    SyncSession& session_;
    LoadView& view_;
    EventThrottle& throttle_;
    FolderHandover& handover_;
    const bool targetScanned_;
    const bool linksTaken_;
    Side sides_[2];
    std::int64_t startBytes_ = 0;
    std::int64_t position_ = 0;
    bool progressShown_ = false;
    std::deque<Job> jobs_;                        // waiting for answers, in scan order
    std::unique_ptr<CounterpartLookups> lookups_; // goes first: its threads write into jobs_
};
