// The soft frame around the main window's background picture: how opaque each ring is.
#include "geometry/soft_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Ring 0 (the outer edge) is fully opaque, ring n not at all; between them the opacity falls
// in equal steps rounded to the nearest whole number, halves to the even one.
TEST(SoftFrame, EachRingHasItsOpacity) {
    const std::vector<std::vector<int>> rows = {
        {255, 0},
        {255, 170, 85, 0},
        {255, 191, 128, 64, 0},
        {255, 219, 182, 146, 109, 73, 36, 0},
        {255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0},
    };
    for (const std::vector<int>& alphas : rows) {
        const int n = int(alphas.size()) - 1;
        std::vector<int> actual;
        for (int i = 0; i <= n; ++i)
            actual.push_back(SoftFrameAlpha(i, n));
        EXPECT_EQ(actual, alphas) << "frame " << n << " pixels wide";
        // Every line of the frame carries the opacity of its ring.
        const std::vector<BlendLineCall> lines = SoftFrameLines(40, 30, n);
        ASSERT_EQ(lines.size(), 4 * alphas.size()) << n;
        for (std::size_t k = 0; k < lines.size(); ++k)
            EXPECT_EQ(lines[k].alpha, alphas[k % alphas.size()]) << n << " line " << k;
    }
}

} // namespace
