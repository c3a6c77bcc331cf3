#pragma once

// The undo of one run, entry by entry; not for use outside undo_run.cpp and undo_steps.cpp.

#include "leftover_sweep.h"
#include "platform/folder_chain.h"
#include "platform/trash_access.h"
#include "platform/trash_batch.h"
#include "undo_plan.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class UndoWork {
public:
    UndoWork(const UndoPlan& plan, platform::FileOps& ops, UndoView& view, bool onlyCheck);
    UndoResult Run();

private:
    // The steps, one per kind of entry: each puts its entry back, or finds nothing to do, or
    // leaves it with a reason.
    void made(const UndoEntry& e);
    void replaced(const UndoEntry& e);
    void trashed(const UndoEntry& e);
    void deletedForGood(const UndoEntry& e);
    void folderMade(const UndoEntry& e);
    void folderRemoved(const UndoEntry& e);

    std::string openRoots();
    void step(const UndoEntry& e);
    // The open folder that holds the entry, and the entry's name in it; stale temporary files
    // of killed runs are cleared from it once. In a check, a folder that undo would make
    // again counts as there (`again`).
    int parent(const UndoEntry& e, platform::FolderRef& folder, std::string& name,
               bool* again = nullptr);
    int swapByHand(const UndoEntry& e, const platform::FolderRef& folder, const std::string& name,
                   const platform::TrashSpot& spot);
    void toTrash(const UndoEntry& e, const platform::FolderRef& folder, const std::string& name);
    void moveQueued();
    void touched(const platform::FolderRef& folder);

    void done(const UndoEntry& e) { ++result_.putBack[std::size_t(e.kind)]; }
    void nothing() { ++result_.nothingToDo; }
    void left(const UndoEntry& e, std::string reason);
    void failed(const UndoEntry& e, int err);

    struct Queued {
        platform::FolderRef folder;
        std::string name;
        const UndoEntry* entry;
    };

    const UndoPlan& plan_;
    platform::FileOps& ops_;
    UndoView& view_;
    const bool check_;
    platform::FolderChain start_, target_;
    platform::TrashAccess trash_;
    platform::TrashBatch moves_;
    LeftoverSweep sweep_;
    std::vector<Queued> queued_;
    std::vector<platform::FolderRef> touched_;
    std::vector<std::uint64_t> touchedDevices_;
    // In a check: the folders ("S" or "T" and the path) that undo would make again.
    std::unordered_set<std::string> again_;
    UndoResult result_;
};
