#pragma once

#include "run_view.h"

struct SyncSession;
namespace platform {
class FileOps;
}

// The whole run: checks that both roots are still the loaded folders, copies every ticked
// entry of the copy list in its own direction, then deletes the ticked entries of the delete
// list when the rule deletes, and makes everything it did durable before it returns.
RunResult RunSynchronisation(SyncSession& session, platform::FileOps& ops, RunView& view);
