#include "leftover_sweep.h"

#include "platform/file_copy.h"
#include "sync_session.h"
#include "tree_paths.h"

void LeftoverSweep::Noted(const SyncSession& session, platform::FolderChain& start,
                          platform::FolderChain& target) {
    for (const bool startTree : {true, false}) {
        const std::string& root = startTree ? session.StartPath : session.TargetPath;
        const std::size_t rootLength = RootPrefixLength(root);
        platform::FolderChain& chain = startTree ? start : target;
        for (const std::string& folder :
             startTree ? session.StartLeftovers : session.TargetLeftovers) {
            const std::string_view relative = RelativeFolder(folder, rootLength);
            platform::FolderRef open;
            // A folder gone since the load, or a link now in its place, is passed by.
            if (chain.Resolve(relative, false, open) == 0)
                Folder(startTree, relative, open);
        }
    }
}

void LeftoverSweep::Folder(bool startTree, std::string_view relative,
                           const platform::FolderRef& folder, bool fresh) {
    std::string key(1, startTree ? 'S' : 'T');
    key.append(relative);
    if (swept_.insert(std::move(key)).second && !fresh)
        platform::RemoveStaleTemporaries(ops_, folder->fd);
}
