#pragma once

#include "date_time.h"
#include "file_info.h"
#include "seen_file.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Attribute bits as the program knows them from the Windows file system.
inline constexpr std::uint32_t kAttrReadOnly = 1;
inline constexpr std::uint32_t kAttrHidden = 2;
inline constexpr std::uint32_t kAttrSystem = 4;
inline constexpr std::uint32_t kAttrVolume = 8;
inline constexpr std::uint32_t kAttrDirectory = 16;
inline constexpr std::uint32_t kAttrArchive = 32;
inline constexpr std::uint32_t kAttrDevice = 64;
inline constexpr std::uint32_t kAttrNormal = 128;
inline constexpr std::uint32_t kAttrTemporary = 256;
inline constexpr std::uint32_t kAttrReparsePoint = 1024;

struct DirEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::int64_t size = 0;
    DateTime lastWrite = kZeroDate;
    // Listed, but it could not be examined: the errno. Of such an entry only the name and the
    // hidden bit its name gives are known.
    int error = 0;
    // The exact times and identity the examination gave, where the listing took them.
    FileStamp stamp = {};
};

// Which file a path leads to: its device and inode.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // When the file was made, in nanoseconds; 0 where the file system does not keep it. An
    // inode number is handed out again after its file is removed: this tells the two apart.
    std::int64_t birth = 0;
};

// The answer of an attribute query: the bits, or the errno of the failure.
struct AttributeResult {
    int error = 0;
    std::uint32_t attributes = 0;
    bool ok() const { return error == 0; }
    // The path is known not to exist; any other failure leaves it unknown.
    bool missing() const;
};

// One entry as examined below a root, without following any link on the way.
struct FileState {
    int error = 0; // ENOENT or ENOTDIR: not there; ELOOP: a link on the way; else unknown
    FileInfo info;
    bool ok() const { return error == 0; }
    bool missing() const;
};

// Examines entries below one root, folder by folder; the folders on the way are opened one
// component at a time and never through a link, as the run does when it writes there.
class TreeReader {
public:
    virtual ~TreeReader() = default;
    // `relativeFolder` is "" or components each ending in "/".
    virtual FileState Examine(std::string_view relativeFolder, const std::string& name) = 0;
};

// The file operations of the engine, behind an interface so that tests can make any of them
// fail. Paths are bytes, passed to the kernel unchanged.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder's entries sorted by name (case-insensitive, ties by bytes), without "." and
    // "..", an entry that could not be examined with its error. Returns 0 or the errno that
    // kept the folder from being listed (entries read before a failure are kept). Called from
    // several threads at once for a tree whose ListingsInFlight is above 1.
    virtual int ListDirectory(const std::string& folder, std::vector<DirEntry>& entries) = 0;
    // The same, but giving up with ECANCELED, what was read kept, once `stop` is set, so that
    // a large folder on a slow device does not hold up "Abbrechen". By default the listing
    // runs to its end.
    virtual int ListDirectoryUntil(const std::string& folder, std::vector<DirEntry>& entries,
                                   const std::atomic<bool>& stop);
    // How many folder listings of the tree below `root` a scan keeps under way at once, and
    // how many questions about single entries there the comparison asks at once: above 1 only
    // where each waits for a device (a network share, removable media), so that the waits
    // overlap; on a local disk one thread is fastest. Readers from OpenTree are then used on
    // several threads, each its own.
    virtual int ListingsInFlight(const std::string& root);
    // Where ListingsInFlight is 1: how many listings a scan keeps under way once its first
    // listings show that each waits for the device all the same (a local disk whose caches are
    // cold). 1 where that is never worth it.
    virtual int ListingsInFlightWhenWaiting(const std::string& root);
    // The attribute bits of the path itself (a link is not followed).
    virtual AttributeResult GetFileAttributes(const std::string& path) = 0;
    // The attribute bits of what the path leads to, following links (for the roots a user
    // types, which may well be links to folders).
    virtual AttributeResult GetTargetAttributes(const std::string& path) = 0;
    // Device and inode of what the path leads to, following links. Returns 0 or the errno.
    virtual int GetTargetId(const std::string& path, FileId& id) = 0;
    // The last-write time of a regular file that can be opened for reading, else the zero date.
    virtual DateTime GetFileLastWrite(const std::string& path) = 0;
    // The path with every link and "." or ".." resolved; empty when that fails.
    virtual std::string CanonicalPath(const std::string& path) = 0;
    // Whether the folder (following links) is the top of a file system: on another device
    // than the folder above it, or "/" itself. By default no folder is.
    virtual bool IsFileSystemTop(const std::string& folder);
    // A reader of the entries below `root` (which may itself be a link to a folder).
    virtual std::unique_ptr<TreeReader> OpenTree(const std::string& root);
};

// The real file system of this machine.
FileSystem& RealFileSystem();

} // namespace platform
