#pragma once

// The undo of one run, entry by entry; not for use outside undo_run.cpp and undo_steps.cpp.

#include "leftover_sweep.h"
#include "platform/folder_chain.h"
#include "platform/trash_access.h"
#include "platform/trash_collection.h"
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
                   std::uint64_t device, const platform::TrashSpot& spot);
    // Moves the entry into the trash, in the folder of this undo; 0 or the errno.
    int toTrash(const UndoEntry& e, const platform::FolderRef& folder, const std::string& name,
                std::uint64_t device, std::size_t& slot);
    void touched(const platform::FolderRef& folder);

    void done(const UndoEntry& e) {
        ++result_.putBack[std::size_t(e.kind)];
        result_.putBackEntries.push_back(static_cast<std::size_t>(&e - plan_.entries.data()));
    }
    void nothing() { ++result_.nothingToDo; }
    void left(const UndoEntry& e, std::string reason);
    void failed(const UndoEntry& e, int err);

    const UndoPlan& plan_;
    platform::FileOps& ops_;
    UndoView& view_;
    const bool check_;
    platform::FolderChain start_, target_;
    platform::TrashAccess trash_;
    platform::TrashCollection moves_;
    LeftoverSweep sweep_;
    std::vector<platform::FolderRef> touched_;
    std::vector<std::uint64_t> touchedDevices_;
    // In a check: the folders ("S" or "T" and the path) that undo would make again.
    std::unordered_set<std::string> again_;
    UndoResult result_;
};
