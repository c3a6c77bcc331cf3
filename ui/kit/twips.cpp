#include "twips.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

// The design font, 8-point Tahoma at 96 dpi: the 52 letters A-Z and a-z average 6 pixels
// (rounded, as a dialog's base unit is taken from them) and a line is 13 pixels high
// (ascent 11, descent 2). A designed pixel is 15 twips.
constexpr double kDesignAverageCharWidth = 6.0;
constexpr double kDesignLineHeight = 13.0;
constexpr double kTwipsPerDesignPixel = 15.0;

struct PixelsPerTwip {
    double across = 1.0 / kTwipsPerDesignPixel;
    double down = 1.0 / kTwipsPerDesignPixel;
};

// Measured again whenever the application font is another than last time.
const PixelsPerTwip& Units() {
    static QFont measured;
    static PixelsPerTwip units;
    static bool known = false;
    const QFont font = QGuiApplication::font();
    if (!known || font != measured) {
        const QFontMetricsF m(font);
        const double letters =
            m.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
        const double line = m.height();
        if (letters > 0 && line > 0)
            units = {letters / kDesignAverageCharWidth / kTwipsPerDesignPixel,
                     line / kDesignLineHeight / kTwipsPerDesignPixel};
        measured = font;
        known = true;
    }
    return units;
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
    // Edges are rounded, not sizes: controls that meet in twips meet in pixels.
    const int left = TwipsToPixelsX(t.left);
    const int top = TwipsToPixelsY(t.top);
    w->setGeometry(left, top, TwipsToPixelsX(t.left + t.width) - left,
                   TwipsToPixelsY(t.top + t.height) - top);
}

} // namespace

int TwipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips * Units().across));
}

int TwipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips * Units().down));
}

double PixelsToTwipsX(int pixels) {
    return pixels / Units().across;
}

double PixelsToTwipsY(int pixels) {
    return pixels / Units().down;
}

Twips TwipsOf(const QWidget* w) {
    const QVariant left = w->property(kLeft);
    if (!left.isValid()) {
        const QRect g = w->geometry();
        return {PixelsToTwipsX(g.x()), PixelsToTwipsY(g.y()), PixelsToTwipsX(g.width()),
                PixelsToTwipsY(g.height())};
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
