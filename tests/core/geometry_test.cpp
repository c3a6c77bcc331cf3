// Where the main window opens, how its controls follow its size, and the soft frame of its
// background picture.
#include "geometry/layout_rules.h"
#include "geometry/soft_frame.h"
#include "geometry/startup_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

// A full-HD screen in twips, with a panel of 40 pixels (600 twips) along the top.
constexpr ScreenArea kScreen{0, 600, 28800, 15600};

TEST(StartupPlacement, StoredValuesAreCutToTheScreenAndAWindowOnItStaysOnIt) {
    struct Row {
        int left, top, width, height, designedWidth, designedHeight;
        ScreenArea screen;
        std::array<double, 4> expected; // left, top, width, height
    };
    const std::vector<Row> rows = {
        // No stored place: centred within the area the panels leave.
        {0, 0, 9000, 0, 11790, 7000, {0, 0, 19200, 10800}, {5100, 1900, 9000, 7000}},
        {0, 0, 0, 0, 8800, 7600, kScreen, {10000, 4600, 8800, 7600}},
        // 0x80000 twips are some 35000 pixels: gigabytes of window.
        {0, 0, 0x80000, 0x80000, 11790, 7000, kScreen, {0, 600, 28800, 15600}},
        {300, 900, 0x7FFFFFFF, 5000, 11790, 7000, kScreen, {0, 900, 28800, 5000}},
        // A damaged negative size reads as the designed one.
        {300, 900, -5, -0x80000, 11790, 7000, kScreen, {300, 900, 11790, 7000}},
        // Starting on the screen, a window is moved back until it ends on it.
        {25000, 12000, 9000, 7000, 11790, 7000, kScreen, {19800, 9200, 9000, 7000}},
        {1500, 1200, 9000, 7000, 11790, 7000, kScreen, {1500, 1200, 9000, 7000}},
        // Beyond the area, as on a second monitor: the window checks that it is on a screen.
        {-40000, 45000, 9000, 7000, 11790, 7000, kScreen, {-40000, 45000, 9000, 7000}},
        // With no known screen nothing is cut or moved.
        {-40000, 45000, 0x80000, 0, 100, 100, {}, {-40000, 45000, 0x80000, 100}},
    };
    for (const Row& r : rows) {
        const WindowPlacement p = ComputeStartupPlacement(
            r.left, r.top, r.width, r.height, r.designedWidth, r.designedHeight, r.screen);
        EXPECT_EQ((std::array{p.left, p.top, p.width, p.height}), r.expected)
            << r.left << ", " << r.top << ", " << r.width << ", " << r.height;
    }
}

TEST(MainLayout, SizesThatWouldTurnNegativeAreSkippedAndHalfTwipsRoundToEven) {
    const MainLayout narrow = ComputeMainLayout(3850 + 1000, 6210);
    EXPECT_FALSE(narrow.progressBar3Width.has_value());
    EXPECT_EQ(narrow.panelsWidth, 1000);
    EXPECT_EQ(narrow.progressBar2Width, 640);
    EXPECT_EQ(narrow.listsWidth, 760);
    EXPECT_DOUBLE_EQ(narrow.picture6Left, 1270);
    const MainLayout flat = ComputeMainLayout(11670, 1000);
    EXPECT_EQ(flat.panelsHeight, 565);
    EXPECT_FALSE(flat.tabStripHeight.has_value());
    EXPECT_FALSE(flat.listsHeight.has_value());
    EXPECT_EQ(flat.check1Top, -890); // a position may be negative
    EXPECT_EQ(ComputeMainLayout(3850 + 100.5, 435 + 100.5).panelsWidth, 100);
    EXPECT_EQ(ComputeMainLayout(3850 + 101.5, 435 + 101.5).panelsHeight, 102);
    // A maximised window on a 3840-pixel screen: 57600 twips, beyond 16 bits.
    EXPECT_EQ(ComputeMainLayout(57600, 30000).panelsWidth, 53750);
}

TEST(SoftFrame, RingIBlendsItsOutlineOnceFromOpaqueToClear) {
    const int pw = 60, ph = 40, n = 10;
    const std::vector<int> alphas = {255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0};
    const auto lines = SoftFrameLines(pw, ph, n);
    ASSERT_EQ(lines.size(), 44u);
    for (int i = 0; i <= n; ++i) {
        std::map<std::pair<int, int>, int> hits, outline;
        for (int side = 0; side < 4; ++side) {
            const BlendLineCall& c = lines[side * (n + 1) + i];
            EXPECT_EQ(c.alpha, alphas[i]) << "ring " << i; // halves round to even
            const PixelRect r = BlendLineRect(c, pw, ph);
            for (int x = r.x; x < r.x + r.width; ++x)
                for (int y = r.y; y < r.y + r.height; ++y)
                    ++hits[{x, y}];
        }
        for (int x = i; x <= pw - i; ++x)
            outline[{x, i}] = outline[{x, ph - i}] = 1;
        for (int y = i; y <= ph - i; ++y)
            outline[{i, y}] = outline[{pw - i, y}] = 1;
        EXPECT_EQ(hits, outline) << "ring " << i;
    }
    // A line of length zero covers the whole side, a negative one nothing.
    EXPECT_EQ(BlendLineRect({5, 100, true, 20, 0}, pw, ph).height, ph);
    EXPECT_EQ(BlendLineRect({5, 100, false, 20, -3}, pw, ph).width, 0);
}

} // namespace
