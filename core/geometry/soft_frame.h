#pragma once

#include <vector>

// One call of the blend routine: a line of pixels blended with the window colour.
// Vertical: x = a, y = b, 1 × length. Horizontal: x = b, y = a, length × 1.
struct BlendLineCall {
    int a = 0;
    int alpha = 0;
    bool vertical = false;
    int b = 0;
    int length = 0;
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Opacity of ring i of a soft frame n pixels wide: 255 at the outer edge down to 0.
int SoftFrameAlpha(int i, int n);

// The lines that give a picture of pw × ph pixels a soft frame n pixels wide, in drawing
// order: left side, top, right side, bottom, each ring i from 0 to n.
std::vector<BlendLineCall> SoftFrameLines(int pw, int ph, int n);

// The pixels one call covers; a length of 0 means the picture's whole height or width.
// A negative length covers nothing (the blend refuses it).
PixelRect BlendLineRect(const BlendLineCall& call, int pw, int ph);
