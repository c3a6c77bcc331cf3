#include "layout_rules.h"

#include <cmath>

namespace {

std::optional<int> Size(long value) {
    if (value < 0)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

MainLayout ComputeMainLayout(double scaleWidth, double scaleHeight) {
    // The sums are 32 bits wide: a maximised window on a wide screen is far beyond the
    // 32767 twips a 16-bit sum could hold, and its panels must still follow it.
    const long w = std::lrint(scaleWidth - 3850); // halves to even
    const long h = std::lrint(scaleHeight - 435);
    MainLayout l;
    l.panelsHeight = Size(h);
    l.tabStripHeight = Size(h - 1080);
    l.listsHeight = Size(h - 2235);
    l.check1Top = static_cast<int>(h - 1455);
    l.frame2Top = static_cast<int>(h - 975);
    l.panelsWidth = Size(w);
    l.tabStripWidth = Size(w);
    l.framesWidth = Size(w - 120);
    l.frame2Width = Size(w);
    l.progressBar3Width = Size(w - 1320);
    l.progressBar2Width = Size(w - 360);
    l.listsWidth = Size(w - 240);
    l.picture6Left = scaleWidth - 3580;
    return l;
}
