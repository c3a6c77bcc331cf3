#pragma once

#include "run_view.h"

#include <string>

struct SyncSession;
namespace platform {
class FileOps;
}

// How a run keeps itself undoable: the folder of its journal (none when empty), and whether
// the files it replaces keep their old version in the trash.
struct UndoKeeping {
    std::string journalFolder;
    bool keepReplaced = true;
    // The journal folder of this user and the setting "Ersetzte Dateien in den Papierkorb
    // legen" as stored.
    static UndoKeeping Current();
};

// The whole run: checks that both roots are still the loaded folders, copies every ticked
// entry of the copy list in its own direction, then deletes the ticked entries of the delete
// list when the rule deletes, and makes everything it did durable before it returns. Each
// step is in the run's journal before it happens, so that the run can be undone.
RunResult RunSynchronisation(SyncSession& session, platform::FileOps& ops, RunView& view,
                             const UndoKeeping& keeping = UndoKeeping::Current());
