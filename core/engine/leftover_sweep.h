#pragma once

#include "platform/folder_chain.h"

#include <string>
#include <string_view>
#include <unordered_set>

struct SyncSession;

// Clears the temporary files that killed runs left behind, in each folder of a run once: the
// folders the load saw them in, and every folder the run deletes in. (A folder the run copies
// into was seen by the load, or made by the run: what a killed run left there is noted.) Every
// folder is reached through the run's chains, never through a link.
class LeftoverSweep {
public:
    explicit LeftoverSweep(platform::FileOps& ops) : ops_(ops) {}

    // The folders the load noted, below the roots the chains opened.
    void Noted(const SyncSession& session, platform::FolderChain& start,
               platform::FolderChain& target);
    // `folder` is `relative` (as FolderChain::Resolve takes it) below the start or target root;
    // `fresh`: just made by the run, so it holds nothing to clear.
    void Folder(bool startTree, std::string_view relative, const platform::FolderRef& folder,
                bool fresh = false);

private:
    platform::FileOps& ops_;
    std::unordered_set<std::string> swept_; // "S" or "T" and the relative folder
};
