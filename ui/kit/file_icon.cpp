#include "file_icon.h"

#include "picture_box.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>

QIcon GetFileIcon(const QString& path, bool large) {
    static QFileIconProvider provider;
    QIcon icon = provider.icon(QFileInfo(path));
    const int size = large ? 32 : 16;
    if (icon.isNull() || icon.pixmap(size, size).isNull())
        icon = provider.icon(QAbstractFileIconProvider::File);
    return icon;
}

void ShowFileIcon(PictureBox* box, const QString& path) {
    box->setPicture(QImage());
    if (path.isEmpty())
        return;
    const QPixmap pixmap = GetFileIcon(path, true).pixmap(32, 32);
    QPainter p(&box->image());
    p.drawPixmap(0, 0, pixmap);
    box->update();
}
