#pragma once

#include "find_file.h"
#include "rules/sync_rule.h"

#include <cstdint>
#include <optional>
#include <string>

class LoadView;
struct SyncSession;
namespace platform {
class FileSystem;
}

bool FolderExists(platform::FileSystem& fs, const std::string& path);
bool FileExists(platform::FileSystem& fs, const std::string& path);

// Empty when both folders can be loaded, else the message for the user.
std::string CheckPaths(platform::FileSystem& fs, const std::string& startText,
                       const std::string& targetText);

// The scanners' attribute mask for the rule's attribute options.
std::int32_t ScanMask(const SyncRule& rule);

struct LoadResult {
    std::optional<FindFileError> error; // a scanner failed; the load stopped there
    bool compared = false;              // the comparison ran to its end
};

// Scans the session's start tree and, when the rule acts on the target side, its target tree
// into four new collections, then compares them. The paths must already be captured.
LoadResult LoadFolders(SyncSession& session, platform::FileSystem& fs, LoadView& view);
