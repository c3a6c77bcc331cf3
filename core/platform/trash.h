#pragma once

#include "file_ops.h"
#include "trash_names.h"
#include "trash_places.h"

#include <string>
#include <vector>

namespace platform {

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

} // namespace platform
