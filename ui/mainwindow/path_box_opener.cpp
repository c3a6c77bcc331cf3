#include "path_box_opener.h"

#include "desktop/file_manager.h"

#include <QEvent>
#include <QLineEdit>

void PathBoxOpener::Install(std::initializer_list<QLineEdit*> boxes) {
    if (boxes.size() == 0)
        return;
    auto* opener = new PathBoxOpener(*boxes.begin());
    for (QLineEdit* box : boxes)
        box->installEventFilter(opener);
}

bool PathBoxOpener::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            OpenFolderInFileManager(box->text());
    }
    return QObject::eventFilter(watched, event);
}
