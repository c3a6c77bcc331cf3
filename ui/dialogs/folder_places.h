#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>

#include <vector>

// The entries at the top of the folder browser: what stands for the drives on this desktop.
struct FolderPlace {
    enum class Kind { Home, FileSystem, Removable, Network, Disk, Folder };
    Kind kind = Kind::Folder;
    QString path;
    QString name;
};

// The user's home folder and the root of the file system, in that order.
std::vector<FolderPlace> StandardPlaces();

// Whether a mounted file system is one a user looks for among the drives: removable media,
// network shares and other disks below /media, /mnt and /run/media, but no file system the
// kernel or a container makes for itself (proc, tmpfs, overlay, snap images …).
bool IsUserVolume(const QString& mountPoint, const QByteArray& fileSystemType);

// The mounted volumes IsUserVolume accepts, sorted by their mount point. Asks every mount for
// its label, so a dead network mount can keep it waiting: meant for a worker thread.
std::vector<FolderPlace> UserVolumes();

// The picture of a place: the desktop theme's one, else the style's.
QIcon PlaceIcon(FolderPlace::Kind kind);
