#pragma once

#include "platform/folder_chain.h"

#include <vector>

struct RunTrees;
class RunRecorder;
struct RunResult;
class RunView;
struct SyncSession;
class WorkPool;

// Copies every ticked entry of the copy list in its own direction, in batches, and returns
// every file it wrote, sorted. With `pool`, as many copies as it has threads are under way at
// once, for trees on devices where each call waits; the lists, the failures and what is shown
// keep the order of the copy list all the same.
std::vector<platform::FileIdentity> RunCopyPhase(SyncSession& session, platform::FileOps& ops,
                                                 RunView& view, RunTrees& trees, RunResult& result,
                                                 RunRecorder& recorder, WorkPool* pool);
