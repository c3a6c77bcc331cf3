#pragma once

#include "my_file.h"
#include "platform/seen_file.h"
#include "record_store.h"
#include "rules/sync_rule.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

using FileList = std::vector<MyFile*>;

// Which folder a root was when it was loaded: a run only goes ahead in the same folders.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool known = false;
    std::int64_t birth = 0; // nanoseconds; 0 where the file system does not keep it
    bool operator==(const FolderIdentity&) const = default;
};

// Everything one load and one run work on. The records of the files on the copy and delete
// lists, with their folders and names, live in the session's own stores, and the lists refer
// to them; a new load releases them all at once. The files the comparison found equal are not
// kept: only how many each scan reported.
struct SyncSession {
    SyncSession() = default;
    SyncSession(const SyncSession&) = delete;
    SyncSession& operator=(const SyncSession&) = delete;
    SyncSession(SyncSession&&) = default;
    SyncSession& operator=(SyncSession&&) = default;

    std::string StartPath; // as typed when loading began
    std::string TargetPath;
    std::size_t StartFileCount = 0; // the files the start tree's scan reported
    std::size_t TargetFileCount = 0;
    FileList CopyList;
    FileList DeleteList;
    // Where the rule matches folders: the folders each scan entered (each ending in "/"),
    // and those the run makes, below their root, parents first.
    std::vector<std::string> StartFolders, TargetFolders;
    struct FolderToMake {
        std::string relative;
        bool inTarget = true; // else in the start tree, as a copy back
    };
    std::vector<FolderToMake> FoldersToMake;
    SyncRule CurrentRule;
    FolderIdentity StartRoot; // taken when the load began
    FolderIdentity TargetRoot;
    // The folders (ending in "/") where the load saw temporary files of runs that are gone,
    // start tree's first: the run clears them.
    std::vector<std::string> StartLeftovers, TargetLeftovers;
    bool AbortRequested = false;
    std::int64_t TotalSize = 0;
    std::int64_t DoneSize = 0;
    std::uint32_t StartTicks = 0;

    // A record for the file `name` in `folder` (which ends in "/"), kept for as long as the
    // lists of this load live. Files of one folder made one after another share it.
    MyFile* NewRecord(std::string_view folder, std::string_view name);
    // The same for a full path.
    MyFile* NewRecord(std::string_view path);
    // The same for a file of the target tree to be copied back or listed as a conflict, and
    // for one to be deleted: kept apart, so that the records of one folder still follow each
    // other while the comparison goes through both trees at once.
    MyFile* NewTargetRecord(std::string_view folder, std::string_view name);
    MyFile* NewDeletionRecord(std::string_view folder, std::string_view name);
    // Makes the copy list of every record made so far by NewRecord, then by NewTargetRecord,
    // and the delete list of those made by NewDeletionRecord, each in the order they were made
    // and at its size: a list that grew one entry at a time would hold up to twice its room.
    void ListRecords();
    // New, empty lists and counts; the records of the last load are released.
    void ResetCollections();

    // What the comparison saw at the other end of a file it put on the copy list.
    void RememberCounterpart(MyFile& f, const platform::SeenDestination& seen);
    platform::SeenDestination CounterpartOf(const MyFile& f) const;
    // A conflict of kinds: a link on one side, a file or folder of that name on the other.
    // Listed, never acted on, also when ticked.
    bool KindsClash(const MyFile& f) const {
        const auto kind = CounterpartOf(f).kind;
        using Kind = platform::SeenDestination::Kind;
        return f.IsConflict() && (f.IsLink() ? kind == Kind::File || kind == Kind::Folder
                                             : kind == Kind::Link || kind == Kind::Folder);
    }
    // A file the comparison put on the delete list, as the load saw it.
    void RememberAsLoaded(MyFile& f, const platform::SeenDestination& seen);
    // Without a record of that, its size and time as scanned.
    platform::SeenDestination AsLoaded(const MyFile& f) const;
    // The exact stamp of what was remembered for `f` (either of the two above). Records of
    // different files may be given theirs from different threads at once.
    void SetStamp(const MyFile& f, const platform::FileStamp& stamp);

private:
    // A copy whose other end was missing: nothing else to remember.
    static constexpr std::uint32_t kAbsentCounterpart = 0xFFFFFFFF;
    // With the index of a stamp of its own: a deletion that was loaded as its record says.
    static constexpr std::uint32_t kOwnStamp = 0x80000000;

    // A SeenDestination without the padding it has as a whole.
    struct SeenSlot {
        std::int64_t size = 0;
        DateTime lastWrite = kZeroDate;
        std::int64_t writeNanos = 0;
        std::int64_t changeNanos = 0;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        platform::SeenDestination::Kind kind = platform::SeenDestination::Kind::Unknown;
        bool known = false;
    };
    static SeenSlot Packed(const platform::SeenDestination& seen);
    static platform::SeenDestination Unpacked(const SeenSlot& slot);
    // The slot of `f`, or null; the stamp of its own, or null.
    SeenSlot* slotOf(const MyFile& f) const;
    platform::FileStamp* ownStampOf(const MyFile& f) const;

    RecordStore records_, targetRecords_, deletionRecords_;
    // Only for the entries of the two lists: a copy's other end, a deletion's own file. In
    // pieces, so that it never needs room for itself twice while it grows.
    mutable std::deque<SeenSlot> seen_;
    mutable std::deque<platform::FileStamp> ownStamps_;
};

// The ticked entries of a list and their total size.
struct SelectionTotals {
    std::int64_t count = 0;
    std::int64_t bytes = 0;
};
SelectionTotals SelectedTotals(const FileList& list);
