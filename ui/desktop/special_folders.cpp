#include "special_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString ExistingFolder(QStandardPaths::StandardLocation location) {
    const QString path = QStandardPaths::writableLocation(location);
    return !path.isEmpty() && QFileInfo(path).isDir() ? QDir::cleanPath(path) : QString();
}

} // namespace

QString SpecialFolderPath(int number) {
    switch (number) {
    case 0:
        return TempFolderPath();
    case 16:
        return ExistingFolder(QStandardPaths::DesktopLocation);
    case 39:
        return ExistingFolder(QStandardPaths::PicturesLocation);
    default:
        return {};
    }
}

QString TempFolderPath() {
    const QString path = QDir::tempPath();
    return path.size() > 1 && path.endsWith('/') ? path.chopped(1) : path;
}
