#pragma once

#include "platform/folder_chain.h"

#include <vector>

class LeftoverSweep;
class RunRecorder;
class RunView;
struct RunResult;
struct SyncSession;
class WorkPool;

// Deletes the ticked entries of the delete list when the rule deletes: after one question,
// each file into the trash of its file system or for good, relative to its folder opened
// without following links, each noted in the run's journal before it goes. A file that changed
// since the load, or that this run wrote
// (`written`, sorted), is left alone. What could not be deleted is listed with its reason.
// Each folder deleted in is swept of temporary files that killed runs left there. With `pool`,
// the files of a batch are looked at and deleted on its threads.
void RunDeletePhase(SyncSession& session, platform::FileOps& ops, RunView& view,
                    platform::FolderChain& targetTree,
                    const std::vector<platform::FileIdentity>& written, LeftoverSweep& sweep,
                    RunResult& result, RunRecorder& recorder, WorkPool* pool = nullptr);
