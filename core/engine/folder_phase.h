#pragma once

#include "run_view.h"

class RunRecorder;
struct SyncSession;
namespace platform {
class FileOps;
class FolderChain;
} // namespace platform

// Makes the folders the comparison found missing, in either direction, parents first, never
// through a link; one that cannot be made is a failure of its own. Before the copies.
void MakeFolders(SyncSession& session, platform::FolderChain& targetTree,
                 platform::FolderChain& startTree, RunView& view, RunResult& result);

// Removes the ticked folder entries of the delete list, deepest first, after the files: a
// folder goes only when it is empty then (whatever was left in it, unticked, failed, changed
// or excluded, keeps it), into the trash as a folder or for good as the rule says, each noted
// in the run's journal before it goes.
void RemoveFolders(SyncSession& session, platform::FileOps& ops, platform::FolderChain& targetTree,
                   RunView& view, RunResult& result, RunRecorder& recorder);
