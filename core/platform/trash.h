#pragma once

#include "file_ops.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Where the trash folders of the desktop are looked for.
struct TrashPlaces {
    // $XDG_DATA_HOME when it is set and absolute, else $HOME/.local/share; empty when neither
    // is known, and then only the trash folders at the top of each file system are used.
    std::string dataHome;
    uid_t uid = 0;
};

TrashPlaces CurrentTrashPlaces();

// Moves the entry `name` (one path component, any bytes) of the open folder `dirFd`, whose
// absolute path is `folderPath`, into the trash of the file system it is on: the user's trash
// below dataHome when that is on the same file system, else the trash at the top of the
// file system. A link is moved as the link. Nothing is ever copied. Returns 0 or the errno;
// on failure the entry stays where it was and no description of it is left in the trash.
int MoveToTrash(FileOps& ops, int dirFd, const std::string& folderPath, const std::string& name,
                const TrashPlaces& places);

// The same for many entries of one folder; `errors` gets 0 or the errno for each name. The
// descriptions of all entries reach the disk with a single flush of each trash's file
// system, so that a long list costs little more than deleting it.
void MoveAllToTrash(FileOps& ops, int dirFd, const std::string& folderPath,
                    const std::vector<std::string>& names, const TrashPlaces& places,
                    std::vector<int>& errors);

// The bytes of `path` as a trash description holds them: every byte but letters, digits,
// "-._~" and "/" as %XX.
std::string TrashPathEncode(const std::string& path);

// The name under which the `variant`th entry called `name` lies in the trash: `name` itself
// for 1, else a number before the extension ("Brief 2.txt"); cut so that the name of its
// description fits into a folder entry.
std::string TrashVariantName(const std::string& name, unsigned variant);

} // namespace platform
