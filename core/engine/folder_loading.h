#pragma once

#include "failed_item.h"
#include "find_file.h"
#include "rules/sync_rule.h"

#include <cstdint>
#include <optional>
#include <string>

class LoadView;
struct FolderIdentity;
struct SyncSession;
namespace platform {
class FileSystem;
}

bool FolderExists(platform::FileSystem& fs, const std::string& path);
bool FileExists(platform::FileSystem& fs, const std::string& path);

// Empty when both folders can be loaded, else the message for the user.
std::string CheckPaths(platform::FileSystem& fs, const std::string& startText,
                       const std::string& targetText);

// Which folder the path leads to (following links, as roots may be links to folders); not
// known when it cannot be examined.
FolderIdentity IdentifyFolder(platform::FileSystem& fs, const std::string& path);

struct LoadResult {
    std::optional<FindFileError> error; // a scanner failed; the load stopped there
    // A root could not be listed: why, for the user. The collections are then empty, as a
    // tree that looks empty would make every file of the other tree look extra.
    std::string rootError;
    bool compared = false; // the comparison ran to its end
    // When anything was left out (trash or lost+found folders not entered, links the rule does
    // not take, sockets, FIFOs and devices, unreadable entries): the text that tells so.
    std::string leftOut;
    std::int64_t linksLeftOut = 0;
    std::int64_t specialLeftOut = 0;
    std::int64_t excludedFiles = 0;   // by the rule's exclusion patterns
    std::int64_t excludedFolders = 0; // not entered for them
    // Every folder and file of either tree that could not be read, the start tree's first;
    // of the target tree only when the start tree was read.
    std::vector<FailedItem> problems;
    std::int64_t startFiles = 0; // as scanned
    std::int64_t targetFiles = 0;
    std::int64_t comparedBytes = 0; // the start tree's files
    // Start files listed for copying unticked: the same time as their counterparts, within
    // the tolerance, but another size.
    std::int64_t conflicts = 0;
};

// Records the roots' identities, scans the session's start tree and, when the rule acts on the
// target side, its target tree into four new collections, then compares them. The paths must
// already be captured.
LoadResult LoadFolders(SyncSession& session, platform::FileSystem& fs, LoadView& view);
