#include "flush_policy.h"

#include "file_ops.h"

#include <linux/magic.h>

namespace platform {

bool SyncfsReachesStorage(std::uint32_t magic) {
    switch (magic) {
    // FUSE passes syncfs on only for virtiofs, which statfs cannot tell apart: every FUSE
    // file system gets the flush of each file, which virtiofs honours too.
    case FUSE_SUPER_MAGIC:
    // No flush of their own for a whole file system: the server is asked per file.
    case CIFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case V9FS_MAGIC:
        return false;
    default:
        return true;
    }
}

bool SyncfsReachesStorageOf(FileOps& ops, int folderFd) {
    std::uint32_t magic = 0;
    return ops.FileSystemType(folderFd, magic) == 0 && SyncfsReachesStorage(magic);
}

} // namespace platform
