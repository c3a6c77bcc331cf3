#pragma once

#include <string>

namespace platform {
class FileOps;
}
struct UndoPlan;

// Reading and closing the journals of runs for undo; undo_plan.h has the public side.

// Reads the journal `path` into `plan`. A line that cannot be read ends the reading, as the
// last line of a run killed while writing it: what came before stands. False, with the reason
// in `why`, when the file cannot be read or is no journal.
bool ReadJournal(platform::FileOps& ops, const std::string& path, UndoPlan& plan, std::string& why);
// Whether the journal's last line says that its run was undone.
bool JournalUndone(platform::FileOps& ops, int folderFd, const std::string& name);
// Appends that the run was undone, flushed to the disk; 0 or the errno.
int MarkUndone(platform::FileOps& ops, const std::string& path);
