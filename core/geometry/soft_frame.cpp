#include "soft_frame.h"

#include <cmath>

int SoftFrameAlpha(int i, int n) {
    return static_cast<int>(std::lrint(255.0 - (static_cast<double>(i) * 255.0) / n));
}

std::vector<BlendLineCall> SoftFrameLines(int pw, int ph, int n) {
    std::vector<BlendLineCall> lines;
    if (n <= 0)
        return lines;
    lines.reserve(4 * static_cast<std::size_t>(n + 1));
    for (int i = 0; i <= n; ++i)
        lines.push_back({i, SoftFrameAlpha(i, n), true, i, ph - 2 * i});
    for (int i = 0; i <= n; ++i)
        lines.push_back({i, SoftFrameAlpha(i, n), false, i + 1, pw - 2 * i - 1});
    for (int i = 0; i <= n; ++i)
        lines.push_back({pw - i, SoftFrameAlpha(i, n), true, i, ph - 2 * i});
    for (int i = 0; i <= n; ++i)
        lines.push_back({ph - i, SoftFrameAlpha(i, n), false, i, pw - 2 * i + 1});
    return lines;
}

PixelRect BlendLineRect(const BlendLineCall& call, int pw, int ph) {
    int length = call.length;
    if (length == 0)
        length = call.vertical ? ph : pw;
    if (length < 0)
        return {};
    if (call.vertical)
        return {call.a, call.b, 1, length};
    return {call.b, call.a, length, 1};
}
