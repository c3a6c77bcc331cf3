#include "device_waits.h"

#include "file_ops.h"

#include <linux/magic.h>

namespace platform {

bool DeviceWaits(std::uint32_t magic) {
    switch (magic) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case FUSE_SUPER_MAGIC: // sshfs, and the user-space exFAT and NTFS drivers
    case V9FS_MAGIC:
    case CEPH_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case AFS_FS_MAGIC:
    case CODA_SUPER_MAGIC:
    case NCP_SUPER_MAGIC:
    case OCFS2_SUPER_MAGIC:
    case 0x01161970:        // GFS2
    case 0x0BD00BD0:        // Lustre
    case 0x47504653:        // GPFS
    case MSDOS_SUPER_MAGIC: // vfat and msdos
    case EXFAT_SUPER_MAGIC:
    case 0x5346544E: // ntfs
    case 0x7366746E: // ntfs3
    case 0x4244:     // HFS
    case 0x482B:     // HFS+
    case ISOFS_SUPER_MAGIC:
    case UDF_SUPER_MAGIC:
        return true;
    default:
        return false;
    }
}

int CallsInFlight(FileOps& ops, int fd) {
    std::uint32_t magic = 0;
    return ops.FileSystemType(fd, magic) == 0 && DeviceWaits(magic) ? kCallsOnWaitingDevices : 1;
}

} // namespace platform
