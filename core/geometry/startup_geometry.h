#pragma once

// Where the main window opens, in twips, from the four stored values (0 or missing: the
// designed size, centred on the screen). Width and height come first so that the centring
// uses the restored size.
struct WindowPlacement {
    double left = 0, top = 0, width = 0, height = 0;
};

// The part of the screen a window may take (without the desktop's panels), in twips; an
// empty area stands for a screen that is not known.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

// A stored size larger than the screen area is cut down to it: a damaged value must not make
// a window of gigabytes. A window that starts inside the area is moved back until it fits in
// it; one that starts outside (on another monitor) keeps its stored place.
WindowPlacement ComputeStartupPlacement(int storedLeft, int storedTop, int storedWidth,
                                        int storedHeight, int designedWidth, int designedHeight,
                                        const ScreenArea& screen);
