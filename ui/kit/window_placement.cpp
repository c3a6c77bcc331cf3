#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void PlaceCentredOver(QWidget* window, const QWidget* owner) {
    if (window == nullptr || owner == nullptr)
        return;
    const QRect main = owner->frameGeometry();
    int left = main.x() + (main.width() - window->width()) / 2;
    int top = main.y() + (main.height() - window->height()) / 2;
    left = std::max(left, 0);
    top = std::max(top, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        if (left + window->width() > s.width())
            left = s.width() - window->width();
        if (top + window->height() > s.height())
            top = s.height() - window->height();
    }
    window->move(left, top);
}
