#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One entry of a folder as a folder picker shows it.
struct FolderName {
    std::string name; // its bytes
    bool isFolder = true;
    // Whether the folder can be opened and listed; always true for a file.
    bool readable = true;
};

// The subfolders of one folder, and its files when asked for.
struct FolderNames {
    std::vector<FolderName> entries; // in the order the kernel gives them
    int error = 0;                   // errno of the failure to list the folder, 0 when in full
};

// Lists `folder` with one system call per entry at most, besides the check whether a
// subfolder may be opened; a slow or hanging mount may keep it waiting, so it is meant for a
// worker thread. Links to folders count as folders; special files and broken links are left
// out. A folder that fails half-way keeps what was read, and says that it failed.
FolderNames ListFolderNames(const std::string& folder, bool includeFiles);

// Makes the folder `path` (every permission the umask leaves): 0 or the errno.
int MakeFolder(const std::string& path);

// The group ID of the path itself (a link is not followed): 0 or the errno.
int GroupOf(const std::string& path, std::uint32_t& group);
// The login name of the user, the name of the group; empty when the system knows none.
std::string UserName(std::uint32_t user);
std::string GroupName(std::uint32_t group);

} // namespace platform
