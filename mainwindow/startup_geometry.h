#pragma once

// Where the main window opens, in twips, from the four stored values (0 or missing: the
// designed size, centred on the screen). Width and height come first so that the centring
// uses the restored size.
struct WindowPlacement {
    double left = 0, top = 0, width = 0, height = 0;
};

WindowPlacement ComputeStartupPlacement(int storedLeft, int storedTop, int storedWidth,
                                        int storedHeight, int designedWidth, int designedHeight,
                                        int screenWidth, int screenHeight);
