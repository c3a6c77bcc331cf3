#pragma once

#include "copy_progress.h"
#include "failed_item.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What a run has just done to one entry, for a front end that lists each action.
enum class RunAction : std::uint8_t {
    Copied,     // a start file is in place in the target
    CopiedBack, // a target file is in place in the start tree
    Deleted,    // a target file or folder is in the trash or gone for good
    FolderMade, // a folder made in the target (or in the start tree, as a copy back)
    FolderMadeBack,
    Failed, // listed among the failures, with its reason
};

// What a synchronisation run shows and asks while it works.
class RunView {
public:
    virtual ~RunView() = default;
    virtual void StatusText(const std::string& text) = 0;
    // "Zu kopierende Menge:", "Noch zu kopieren:" (files) and "Zu kopierende Größe:".
    virtual void PlannedCopies(const std::string& files, const std::string& size) = 0;
    // "Noch zu kopieren:" beside the file count.
    virtual void FilesLeft(const std::string& files) = 0;
    // "Dateiname:", "Von:" and "Nach:" of the file about to be copied.
    virtual void CurrentFile(const std::string& name, const std::string& from,
                             const std::string& to) = 0;
    virtual void CopyProgress(const CopyProgressDisplay& display) = 0;
    // Lets the window repaint and answer input.
    virtual void PumpEvents() = 0;
    // True once the user stopped the run or closes the window: the run ends after the file
    // being copied, and the delete phase is skipped.
    virtual bool StopRequested() = 0;
    // One question for all `count` files about to be deleted; true to go ahead.
    virtual bool ConfirmDelete(std::size_t count, bool toRecycleBin) = 0;
    // Each action once it is done: a copy when it has its name, a deletion when the entry is
    // gone. `path` is the copy's source, the deleted entry or the folder made; `reason` is
    // the failure's. The window shows counts and the error list instead.
    virtual void ActionDone(RunAction, const std::string& /*path*/, const std::string& /*reason*/) {
    }
    // Whether ActionDone is wanted: the run makes no paths for it otherwise.
    virtual bool ListsActions() const { return false; }
};

// What one run did: every front end, test and benchmark reads this.
struct RunResult {
    // Not empty when the run did not start because a root is no longer the loaded folder;
    // then no file was touched and this is the message for the user.
    std::string refused;
    bool stoppedEarly = false; // stopped by the user: the remaining entries were left
    bool deleteDeclined = false;
    std::int64_t copied = 0; // start to target, put in place
    std::int64_t copiedBytes = 0;
    std::int64_t copiedBack = 0; // target to start
    std::int64_t copiedBackBytes = 0;
    std::int64_t trashed = 0;
    std::int64_t trashedBytes = 0; // as the load saw them
    std::int64_t deletedForGood = 0;
    std::int64_t deletedForGoodBytes = 0;
    // Listed for deletion but gone before the run came to it: nothing was left to do.
    std::int64_t alreadyGone = 0;
    // Where the rule matches folders: folders made (either way) and removed.
    std::int64_t foldersMade = 0;
    std::int64_t foldersRemoved = 0;
    std::int64_t milliseconds = 0; // the whole run
    // Why this run cannot be undone; empty when its journal was kept.
    std::string undoNote;
    // Copies, then deletions, each in the order met; those left because they changed after the
    // load among them.
    std::vector<FailedItem> failures;

    std::int64_t deleted() const { return trashed + deletedForGood; }
    bool anyCopyFailed() const;
    // Failures proper, and the entries left alone because they changed after the load.
    std::int64_t failed() const;
    std::int64_t leftChanged() const;
};

// Lists `item` among the run's failures and tells the view.
void AddFailure(RunView& view, RunResult& result, FailedItem item);
