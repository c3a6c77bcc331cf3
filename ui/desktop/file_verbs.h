#pragma once

#include <string>
#include <vector>

namespace platform {
class FileOps;
}

// What the context menu does to the files themselves. Each works on the entry `name` of the
// folder `folder` (absolute, ending in "/"), opened once so that no link on the way is
// followed twice, and returns 0 or the errno of the failure; a failure leaves the entry as it
// was.

// Gives the entry the name `newName` in the same folder. An entry of that name is never
// replaced: EEXIST, also when it appears between the question and the renaming.
int RenameEntry(platform::FileOps& ops, const std::string& folder, const std::string& name,
                const std::string& newName);

// Moves the entries into the desktop's trash; `errors` gets 0 or the errno for each.
void TrashEntries(platform::FileOps& ops, const std::string& folder,
                  const std::vector<std::string>& names, std::vector<int>& errors);

// Deletes the entries for good; `errors` gets 0 or the errno for each.
void DeleteEntries(platform::FileOps& ops, const std::string& folder,
                   const std::vector<std::string>& names, std::vector<int>& errors);
