#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

double Dpi() {
    static double dpi = 0;
    if (dpi <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
        if (dpi <= 0)
            dpi = 96.0;
    }
    return dpi;
}

constexpr const char* kLeft = "twipsLeft";
constexpr const char* kTop = "twipsTop";
constexpr const char* kWidth = "twipsWidth";
constexpr const char* kHeight = "twipsHeight";

void Apply(QWidget* w, const Twips& t) {
    w->setProperty(kLeft, t.left);
    w->setProperty(kTop, t.top);
    w->setProperty(kWidth, t.width);
    w->setProperty(kHeight, t.height);
    w->setGeometry(TwipsToPixels(t.left), TwipsToPixels(t.top), TwipsToPixels(t.width),
                   TwipsToPixels(t.height));
}

} // namespace

int TwipsToPixels(double twips) {
    return static_cast<int>(std::lround(twips * Dpi() / 1440.0));
}

double PixelsToTwips(int pixels) {
    return pixels * 1440.0 / Dpi();
}

Twips TwipsOf(const QWidget* w) {
    const QVariant left = w->property(kLeft);
    if (!left.isValid()) {
        const QRect g = w->geometry();
        return {PixelsToTwips(g.x()), PixelsToTwips(g.y()), PixelsToTwips(g.width()),
                PixelsToTwips(g.height())};
    }
    return {left.toDouble(), w->property(kTop).toDouble(), w->property(kWidth).toDouble(),
            w->property(kHeight).toDouble()};
}

void SetTwips(QWidget* w, const Twips& t) {
    Apply(w, t);
}

void SetLeftTwips(QWidget* w, double left) {
    Twips t = TwipsOf(w);
    t.left = left;
    Apply(w, t);
}

void SetTopTwips(QWidget* w, double top) {
    Twips t = TwipsOf(w);
    t.top = top;
    Apply(w, t);
}

void SetWidthTwips(QWidget* w, double width) {
    Twips t = TwipsOf(w);
    t.width = width;
    Apply(w, t);
}

void SetHeightTwips(QWidget* w, double height) {
    Twips t = TwipsOf(w);
    t.height = height;
    Apply(w, t);
}
