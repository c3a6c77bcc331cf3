#pragma once

#include "file_ops.h"

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// Where a copy failed: reading the source or writing the destination.
enum class CopySide { None, Source, Destination };

struct CopyResult {
    int error = 0; // 0 on success, else the errno
    CopySide side = CopySide::None;
    std::string path; // the path the failing call was about
    bool ok() const { return error == 0; }
};

// Told the bytes copied so far and the file's size: first with 0, then after every chunk.
using CopyProgress = std::function<void(std::int64_t transferred, std::int64_t fileSize)>;

// Copies a file as CopyFileExA does, but never leaves a partial destination: the data goes
// into a temporary file beside the destination, gets the source's mode and last-write time,
// is flushed to the disk and only then renamed over the destination. A destination without
// the owner's write permission is refused with EACCES, as a read-only file is on Windows.
// On any failure the temporary file is removed and the old destination is untouched.
CopyResult CopyFileEx(FileOps& ops, const std::string& source, const std::string& destination,
                      const CopyProgress& progress);

// A copy written completely into a temporary file beside its destination, waiting to be
// renamed into place.
struct StagedCopy {
    int fd = -1;           // an open nameless file, where the file system has them
    std::string temporary; // else the temporary file's name
    std::string destination;
    std::string folder;
    dev_t device = 0; // the file system it lies on
};

// The first half of CopyFileEx: the data, mode and time in a temporary file. With
// `flush` the data is on the disk when it returns; without, the caller makes a whole batch
// durable at once (SyncFileSystem) before committing any of it.
CopyResult StageCopy(FileOps& ops, const std::string& source, const std::string& destination,
                     const CopyProgress& progress, bool flush, StagedCopy& staged);
// Renames the staged copy over its destination; on failure the temporary file is removed.
CopyResult CommitStaged(FileOps& ops, StagedCopy& staged);
// Removes a staged copy that will not be committed.
void DiscardStaged(FileOps& ops, StagedCopy& staged);

// Creates every missing folder of `path` (up to its last "/"); the result of the last mkdir.
int MakeSureDirectoryPathExists(FileOps& ops, const std::string& path);

// The temporary files of the copy are named with this prefix.
inline constexpr const char* kTemporaryPrefix = ".gleichwart-";

inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
// The attribute bits of a path (a link is not followed), or kInvalidFileAttributes.
std::uint32_t GetFileAttributesA(FileOps& ops, const std::string& path);
// Only the read-only bit has a meaning here: it takes away or gives back the write
// permissions (within the umask). Returns 0 or the errno.
int SetFileAttributesA(FileOps& ops, const std::string& path, std::uint32_t attributes);

} // namespace platform
