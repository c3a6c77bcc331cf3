#include "startup_geometry.h"

#include <algorithm>

namespace {

// A stored extent, or the designed one when none (or a damaged negative one) is stored,
// never beyond the room the screen has.
double FitExtent(int stored, int designed, int room) {
    const double extent = stored > 0 ? stored : designed;
    return room > 0 ? std::min<double>(extent, room) : extent;
}

// A stored start inside [areaStart, areaStart + room) is moved back so the extent ends inside.
double KeepInside(double start, double extent, int areaStart, int room) {
    const double areaEnd = static_cast<double>(areaStart) + room;
    if (room <= 0 || start < areaStart || start >= areaEnd)
        return start;
    return std::min(start, areaEnd - extent);
}

} // namespace

WindowPlacement ComputeStartupPlacement(int storedLeft, int storedTop, int storedWidth,
                                        int storedHeight, int designedWidth, int designedHeight,
                                        const ScreenArea& screen) {
    WindowPlacement p;
    p.width = FitExtent(storedWidth, designedWidth, screen.width);
    p.height = FitExtent(storedHeight, designedHeight, screen.height);
    p.left = storedLeft != 0 ? KeepInside(storedLeft, p.width, screen.left, screen.width)
                             : screen.left + (screen.width - p.width) / 2;
    p.top = storedTop != 0 ? KeepInside(storedTop, p.height, screen.top, screen.height)
                           : screen.top + (screen.height - p.height) / 2;
    return p;
}
