#include "startup_geometry.h"

WindowPlacement ComputeStartupPlacement(int storedLeft, int storedTop, int storedWidth,
                                        int storedHeight, int designedWidth, int designedHeight,
                                        int screenWidth, int screenHeight) {
    WindowPlacement p;
    p.width = storedWidth != 0 ? storedWidth : designedWidth;
    p.height = storedHeight != 0 ? storedHeight : designedHeight;
    p.left = storedLeft != 0 ? storedLeft : (screenWidth - p.width) / 2;
    p.top = storedTop != 0 ? storedTop : (screenHeight - p.height) / 2;
    return p;
}
