#include "folder_places.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>
#include <iterator>

namespace {

bool IsSameOrBelow(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + '/');
}

template <std::size_t N> bool IsOneOf(const QByteArray& type, const char* const (&kinds)[N]) {
    return std::any_of(std::begin(kinds), std::end(kinds),
                       [&](const char* kind) { return type == kind; });
}

bool IsNetworkType(const QByteArray& type) {
    static const char* const kinds[] = {
        "nfs", "nfs4", "cifs", "smb3",  "smbfs",       "fuse.sshfs", "sshfs",
        "afs", "ceph", "9p",   "davfs", "fuse.davfs2", "glusterfs",  "fuse.rclone"};
    return IsOneOf(type, kinds);
}

bool IsPseudoType(const QByteArray& type) {
    static const char* const kinds[] = {
        "proc",      "sysfs",           "tmpfs",       "devtmpfs", "devpts", "overlay",
        "squashfs",  "ramfs",           "cgroup",      "cgroup2",  "autofs", "mqueue",
        "debugfs",   "tracefs",         "securityfs",  "pstore",   "bpf",    "configfs",
        "fusectl",   "hugetlbfs",       "binfmt_misc", "efivarfs", "nsfs",   "rpc_pipefs",
        "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    return IsOneOf(type, kinds);
}

bool IsMediaFolder(const QString& mountPoint) {
    return IsSameOrBelow(mountPoint, "/media") || IsSameOrBelow(mountPoint, "/run/media");
}

} // namespace

std::vector<FolderPlace> StandardPlaces() {
    return {{FolderPlace::Kind::Home, QDir::homePath(), "Persönlicher Ordner"},
            {FolderPlace::Kind::FileSystem, "/", "Dateisystem"}};
}

bool IsUserVolume(const QString& mountPoint, const QByteArray& fileSystemType) {
    if (mountPoint == "/" || IsPseudoType(fileSystemType))
        return false;
    if (IsNetworkType(fileSystemType))
        return true;
    return IsMediaFolder(mountPoint) || IsSameOrBelow(mountPoint, "/mnt");
}

std::vector<FolderPlace> UserVolumes() {
    std::vector<FolderPlace> places;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mountPoint = volume.rootPath();
        const QByteArray type = volume.fileSystemType();
        if (!volume.isValid() || !IsUserVolume(mountPoint, type))
            continue;
        FolderPlace place;
        place.kind = IsNetworkType(type)         ? FolderPlace::Kind::Network
                     : IsMediaFolder(mountPoint) ? FolderPlace::Kind::Removable
                                                 : FolderPlace::Kind::Disk;
        place.path = mountPoint;
        place.name = volume.name().isEmpty() ? QFileInfo(mountPoint).fileName() : volume.name();
        places.push_back(std::move(place));
    }
    std::sort(places.begin(), places.end(),
              [](const FolderPlace& a, const FolderPlace& b) { return a.path < b.path; });
    return places;
}

QIcon PlaceIcon(FolderPlace::Kind kind) {
    QStyle* style = QApplication::style();
    switch (kind) {
    case FolderPlace::Kind::Home:
        return QIcon::fromTheme("user-home", style->standardIcon(QStyle::SP_DirHomeIcon));
    case FolderPlace::Kind::FileSystem:
    case FolderPlace::Kind::Disk:
        return QIcon::fromTheme("drive-harddisk", style->standardIcon(QStyle::SP_DriveHDIcon));
    case FolderPlace::Kind::Removable:
        return QIcon::fromTheme("drive-removable-media",
                                style->standardIcon(QStyle::SP_DriveFDIcon));
    case FolderPlace::Kind::Network:
        return QIcon::fromTheme("folder-remote", style->standardIcon(QStyle::SP_DriveNetIcon));
    case FolderPlace::Kind::Folder:
        break;
    }
    return QIcon::fromTheme("folder", style->standardIcon(QStyle::SP_DirIcon));
}
