#include "window_placement.h"

#include "geometry/startup_geometry.h"
#include "twips.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

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

namespace {

// A window counts as reachable when a good piece of it lies on some screen.
bool IsOnSomeScreen(const QRect& window) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(window);
        if (common.width() >= qMin(100, window.width()) &&
            common.height() >= qMin(40, window.height()))
            return true;
    }
    return false;
}

int PixelsAsTwipsX(int pixels) {
    return static_cast<int>(std::lround(PixelsToTwipsX(pixels)));
}

int PixelsAsTwipsY(int pixels) {
    return static_cast<int>(std::lround(PixelsToTwipsY(pixels)));
}

} // namespace

QRect StartupWindowRect(int left, int top, int width, int height, QSize designed) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect =
        screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const WindowPlacement p = ComputeStartupPlacement(
        left, top, width, height, PixelsAsTwipsX(designed.width()),
        PixelsAsTwipsY(designed.height()),
        {PixelsAsTwipsX(screenRect.x()), PixelsAsTwipsY(screenRect.y()),
         PixelsAsTwipsX(screenRect.width()), PixelsAsTwipsY(screenRect.height())});
    QRect r(TwipsToPixelsX(p.left), TwipsToPixelsY(p.top), qMax(1, TwipsToPixelsX(p.width)),
            qMax(1, TwipsToPixelsY(p.height)));
    if (!IsOnSomeScreen(r)) {
        r.setSize(r.size().boundedTo(screenRect.size()));
        r.moveCenter(screenRect.center());
    }
    return r;
}

bool IsFormLoaded(const QString& fName) {
    const QString wanted = fName.toLower();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName().toLower() == wanted)
            return true;
    }
    return false;
}

void CloseOpenWindows(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (!IsFormLoaded(name))
            continue;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName().compare(name, Qt::CaseInsensitive) == 0)
                w->close();
    }
}
