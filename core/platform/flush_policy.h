#pragma once

#include <cstdint>

namespace platform {

class FileOps;

// Whether flushing a whole file system (syncfs) brings what was written on it to its
// storage. Where the data goes through a user-space driver or over a network protocol that
// only flushes a file on request (FUSE file systems such as sshfs, SMB, 9p), syncfs returns
// without asking the other end: there each copy is flushed on its own descriptor.
// `magic` is the file system's type as statfs reports it.
bool SyncfsReachesStorage(std::uint32_t magic);

// The same for the file system that holds the open folder; where its type cannot be read,
// every file is flushed on its own.
bool SyncfsReachesStorageOf(FileOps& ops, int folderFd);

} // namespace platform
