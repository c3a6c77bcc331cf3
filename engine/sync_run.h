#pragma once

#include "copy_progress.h"

#include <string>

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
    // True once the window is being closed: the run ends after the file being copied.
    virtual bool StopRequested() = 0;
    // One delete operation of the shell for every path of the double-NUL-terminated list,
    // with its own question and its own report of what it could not delete.
    virtual int DeleteFiles(const std::string& pathList, bool toRecycleBin, bool confirm) = 0;
};

struct RunResult {
    bool anyCopyFailed = false;
    bool stoppedEarly = false; // the window was closed: the remaining entries were left
};

// Copies every ticked entry of the copy list in its own direction.
RunResult RunCopyPhase(SyncSession& session, platform::FileOps& ops, RunView& view);

// Hands the ticked entries of the delete list to the shell when the rule deletes.
void RunDeletePhase(SyncSession& session, RunView& view);

// Makes the text end in two NUL characters.
std::string EnsureDoubleNull(std::string text);
