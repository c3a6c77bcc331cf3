#pragma once

#include "date_time.h"
#include "file_ops.h"
#include "folder_chain.h"
#include "seen_file.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

class TrashCollection;

// Where a copy failed: reading the source or writing the destination.
enum class CopySide { None, Source, Destination };

// Failures that are not a system call's errno.
enum class CopyProblem : std::uint8_t {
    None,
    LinkInPath,         // a folder on the way to the destination is a symbolic link
    DestinationChanged, // the destination is no longer what the comparison saw
    SourceChanged,      // the source changed since the load and is no longer newer
    KindsDiffer,        // a link on one side, a file or folder of that name on the other
};

struct CopyResult {
    int error = 0; // 0 on success, else the errno
    CopySide side = CopySide::None;
    std::string path; // the path the failing call was about
    CopyProblem problem = CopyProblem::None;
    bool ok() const { return error == 0 && problem == CopyProblem::None; }
};

// Told the bytes copied so far and the file's size: first with 0, then after every chunk.
using CopyProgress = std::function<void(std::int64_t transferred, std::int64_t fileSize)>;
// Asked with the source as it is now, before any data moves; false leaves the copy out.
using SourceCheck = std::function<bool(const FileInfo& now)>;

// One end of a copy: an open folder, the name in it and the whole path for messages.
struct CopyEnd {
    FolderRef folder;
    std::string name;
    std::string path;
    // A destination whose file system is not flushed as a whole: each copy is flushed on its
    // own before it gets a name, and its folder after.
    bool flushEach = false;
};

// A copy written completely into a temporary file in its destination folder, waiting to
// be put in place.
struct StagedCopy {
    int fd = -1;           // an open nameless file, where the file system has them
    std::string temporary; // else the temporary file's name in the folder
    CopyEnd destination;
    SeenDestination seen;
    FileIdentity written; // the new file, as it will be found under its name
    std::int64_t writtenSize = 0;
    std::int64_t writtenNanos = 0; // its last-write time as the file system keeps it
};

// The first half of a copy: the data, mode and time in a temporary file beside the
// destination. The mode is the source's without set-user-ID and set-group-ID bits, without
// write permission when `readOnly`. A read-only destination (no owner write bit) refuses with
// EACCES, as on Windows, unless the source is read-only too (the mark came from the mirror).
// The data is not flushed here: the caller makes a whole batch durable at once
// (SyncFileSystemOf) before committing any of it.
CopyResult StageCopy(FileOps& ops, const CopyEnd& source, const CopyEnd& destination,
                     const SeenDestination& seen, bool readOnly, const SourceCheck& sourceCheck,
                     const CopyProgress& progress, StagedCopy& staged);
// The same for a symbolic link: a link with the source's target text and time under a
// temporary name beside the destination, never following either. The source must still be a
// link that `sourceCheck` accepts; the destination must be what was seen: nothing, or a link
// (a file or folder of that name is left alone as KindsDiffer).
CopyResult StageLink(FileOps& ops, const CopyEnd& source, const CopyEnd& destination,
                     const SeenDestination& seen, const SourceCheck& sourceCheck,
                     StagedCopy& staged);
// A new name for a temporary file of this process: the prefix, the process ID and a number.
std::string NewTemporaryName();

// Puts the staged copy in place, after looking once more that the destination is still what
// was seen: a new file is linked to its free name, a replacement renamed over the old file.
// With `keep`, a replaced file is first kept in the trash place `slot` claimed for it. On
// failure the temporary file is removed and the destination left as it is.
CopyResult CommitStaged(FileOps& ops, StagedCopy& staged, TrashCollection* keep = nullptr,
                        std::size_t slot = 0);
// Removes a staged copy that will not be committed.
void DiscardStaged(FileOps& ops, StagedCopy& staged);

// The temporary files of the copy are named with this prefix, the process ID and a number.
inline constexpr const char* kTemporaryPrefix = ".gleichwart-";
// Removes the temporary files that a run which no longer lives left in the open folder.
void RemoveStaleTemporaries(FileOps& ops, int folderFd);

// True when a file as it is now still looks as `seen` describes it, to the nanosecond and the
// inode where `seen` has a stamp.
bool StillAsSeen(const FileInfo& now, const SeenDestination& seen);

} // namespace platform
