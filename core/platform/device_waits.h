#pragma once

#include <cstdint>

namespace platform {

class FileOps;

// Whether every call on a file system of this statfs type waits for a network or for
// removable media (NFS, SMB, FUSE such as sshfs, 9p, cluster file systems, FAT, exFAT, NTFS,
// HFS, optical discs): there several calls under way at once overlap their waits, where on a
// local disk one thread is fastest. Where <linux/magic.h> lacks a number, the driver's own is
// written out.
bool DeviceWaits(std::uint32_t magic);

// Copies or deletions under way at once on such a device (see bench/README.md).
inline constexpr int kCallsOnWaitingDevices = 8;

// How many copies or deletions in the tree of the open folder `fd` are kept under way at
// once: kCallsOnWaitingDevices where its device waits, else 1 (also where its type cannot be
// read).
int CallsInFlight(FileOps& ops, int fd);

} // namespace platform
