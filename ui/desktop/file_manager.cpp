#include "file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace {

// A file address from the path's own bytes, so that any name survives the way there.
QByteArray FileAddress(const std::string& path) {
    return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/");
}

QUrl FileUrl(const std::string& path) {
    return QUrl::fromEncoded(FileAddress(path));
}

void OpenFolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    QDesktopServices::openUrl(FileUrl(slash == std::string::npos ? QDir::currentPath().toStdString()
                                      : slash == 0               ? std::string("/")
                                                                 : path.substr(0, slash)));
}

} // namespace

void ShowInFileManager(const std::string& path) {
    const std::string absolute =
        !path.empty() && path[0] == '/' ? path : (QDir::currentPath() + '/').toStdString() + path;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        OpenFolderOf(absolute);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QString::fromLatin1(FileAddress(absolute))} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, absolute] {
        if (watcher->isError())
            OpenFolderOf(absolute);
        watcher->deleteLater();
    });
}

void OpenFolderInFileManager(const QString& folder) {
    const QString path = folder.isEmpty() ? QDir::homePath() : QDir(folder).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
