#pragma once

// The pieces of the trash that its source files share; not for use elsewhere.

#include "file_ops.h"
#include "trash_names.h"
#include "trash_places.h"

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform {

// The trash of one file system while entries are moved into it.
struct TrashFolder {
    dev_t device = 0;
    int error = 0; // why this file system has no usable trash
    int files = -1;
    int info = -1;
    std::string path; // the trash folder itself, absolute: it holds files/ and info/
    // The descriptions in the user's trash name an entry by its absolute path, those in a
    // trash at the top of a file system by its path below `top` (absolute, ending in "/").
    bool home = false;
    std::string top;
    bool unflushed = false;
    int flushError = 0;
};

inline constexpr unsigned kMaxVariant = 1u << 30;

// A name fit for the trash: one path component, neither "." nor "..".
bool IsOneComponent(const std::string& name);
// The folder with single slashes and one at the end; false when it is not absolute.
bool NormalFolder(const std::string& path, std::string& folder);
// Now, as a description's deletion date.
std::string DeletionDate();
// The description of the entry `name` of `folder` (absolute, ending in "/").
void Describe(const TrashFolder& t, const std::string& folder, const std::string& name,
              const std::string& date, std::string& text);
// The name of the description of the `variant`th entry called `name`.
std::string InfoName(const std::string& name, unsigned variant);
// Takes the name of the entry's description, from `variant` on, and writes `text` there; with
// `flush` it reaches the disk before this returns. A name that an entry without description
// holds in files/ is passed over. 0 or the errno.
int ClaimInfo(FileOps& ops, const TrashFolder& t, const std::string& name, const std::string& text,
              bool flush, unsigned& variant);
// Renames `name` of dirFd to `to` of toDir, never over something there. 0 or the errno.
int RenameInto(FileOps& ops, int dirFd, const std::string& name, int toDir, const std::string& to);

// Closes a folder's descriptor and forgets it. A folder descriptor carries no written data,
// so its close cannot lose anything and its result does not matter.
void CloseQuietly(FileOps& ops, int& fd);

// The index in `trashes` of the trash for entries on `device` of `folder` (open as dirFd,
// absolute, ending in "/"), opened and added when it is not there yet. Returns 0 or why that
// file system has no usable trash.
int FindTrash(FileOps& ops, int dirFd, const std::string& folder, dev_t device,
              const TrashPlaces& places, std::vector<TrashFolder>& trashes, unsigned& index);

} // namespace platform
