#pragma once

#include "failed_item.h"

#include <vector>

struct SyncSession;
namespace platform {
class FileSystem;
}

// Folders, where the rule matches them (with subfolders): the start tree's folders missing in
// the target are to be made, empty ones too, and under a rule that copies back the target's
// missing in the start tree; under the delete rules each target folder the start tree lacks
// goes on the delete list as an entry of its own, named with a trailing "/", to be removed
// once the run has left it empty. Nothing below what the start tree's scan could not read
// (`problems`) is removed.
void CompareFolders(SyncSession& session, platform::FileSystem& fs,
                    const std::vector<FailedItem>& problems);
