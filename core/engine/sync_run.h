#pragma once

#include "copy_progress.h"

#include <cstddef>
#include <string>
#include <vector>

struct SyncSession;
namespace platform {
class FileOps;
}

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
    virtual void CopyFailed(const std::string& source, const std::string& destination,
                            const std::string& reason) = 0;
    // Lets the window repaint and answer input.
    virtual void PumpEvents() = 0;
    // True once the user stopped the run or closes the window: the run ends after the file
    // being copied, and the delete phase is skipped.
    virtual bool StopRequested() = 0;
    // One question for all `count` files about to be deleted; true to go ahead.
    virtual bool ConfirmDelete(std::size_t count, bool toRecycleBin) = 0;
    // Every file that could not be deleted, with its reason; only called when there are any.
    virtual void DeleteFailed(const std::vector<struct DeleteFailure>& failures) = 0;
};

struct DeleteFailure {
    std::string path;
    std::string reason;
};

struct RunResult {
    // Not empty when the run did not start because a root is no longer the loaded folder;
    // then no file was touched and this is the message for the user.
    std::string refused;
    bool anyCopyFailed = false;
    bool stoppedEarly = false; // stopped by the user: the remaining entries were left
    bool deleteDeclined = false;
    std::size_t deleted = 0;
    std::size_t deleteFailures = 0;
};

// The whole run: checks that both roots are still the loaded folders, copies every ticked
// entry of the copy list in its own direction, then deletes the ticked entries of the delete
// list when the rule deletes, and makes everything it did durable before it returns.
RunResult RunSynchronisation(SyncSession& session, platform::FileOps& ops, RunView& view);
