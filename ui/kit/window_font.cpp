#include "window_font.h"

#include <QApplication>
#include <QWidget>

void ApplyTahomaFont(QWidget* window) {
    if (window == nullptr)
        return;
    QFont own = window->font();
    own.setFamily("Tahoma");
    window->setFont(own);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        QFont f = control->font();
        f.setFamily("Tahoma");
        control->setFont(f);
    }
}

bool IsFormLoaded(const QString& fName) {
    const QString wanted = fName.toLower();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName().toLower() == wanted)
            return true;
    }
    return false;
}
