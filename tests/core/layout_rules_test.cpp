#include "geometry/layout_rules.h"
#include "geometry/soft_frame.h"
#include "platform/system_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <utility>

namespace {

TEST(MainLayout, DesignedSizeGivesTheDesignedPanels) {
    const MainLayout l = ComputeMainLayout(11670, 6210);
    EXPECT_EQ(l.panelsWidth, 7820);
    EXPECT_EQ(l.panelsHeight, 5775);
    EXPECT_EQ(l.listsWidth, 7580);
    EXPECT_EQ(l.listsHeight, 3540);
    EXPECT_EQ(l.tabStripWidth, 7820);
    EXPECT_EQ(l.tabStripHeight, 4695);
    EXPECT_EQ(l.check1Top, 4320);
    EXPECT_EQ(l.frame2Top, 4800);
    EXPECT_EQ(l.framesWidth, 7700);
    EXPECT_EQ(l.frame2Width, 7820);
    EXPECT_EQ(l.progressBar3Width, 6500);
    EXPECT_EQ(l.progressBar2Width, 7460);
    EXPECT_DOUBLE_EQ(l.picture6Left, 8090);
}

TEST(MainLayout, NarrowWindowSkipsOnlyTheSizesThatWouldTurnNegative) {
    const MainLayout l = ComputeMainLayout(3850 + 1000, 6210);
    EXPECT_FALSE(l.progressBar3Width.has_value());
    EXPECT_EQ(l.panelsWidth, 1000);
    EXPECT_EQ(l.progressBar2Width, 640);
    EXPECT_EQ(l.listsWidth, 760);
    EXPECT_DOUBLE_EQ(l.picture6Left, 1270);

    const MainLayout flat = ComputeMainLayout(11670, 1000);
    EXPECT_EQ(flat.panelsHeight, 565);
    EXPECT_FALSE(flat.tabStripHeight.has_value());
    EXPECT_FALSE(flat.listsHeight.has_value());
    EXPECT_EQ(flat.check1Top, -890); // a position may be negative
}

TEST(MainLayout, HalfTwipsRoundToEvenAndWideScreensStillLayOut) {
    EXPECT_EQ(ComputeMainLayout(3850 + 100.5, 435 + 100.5).panelsWidth, 100);
    EXPECT_EQ(ComputeMainLayout(3850 + 101.5, 435 + 101.5).panelsHeight, 102);
    // A maximised window on a 3840-pixel screen: 57600 twips, beyond 16 bits.
    EXPECT_EQ(ComputeMainLayout(57600, 30000).panelsWidth, 53750);
}

TEST(SoftFrame, AlphasForWidthTenRoundHalvesToEven) {
    const std::vector<int> expected = {255, 230, 204, 178, 153, 128, 102, 76, 51, 26, 0};
    std::vector<int> alphas;
    for (int i = 0; i <= 10; ++i)
        alphas.push_back(SoftFrameAlpha(i, 10));
    EXPECT_EQ(alphas, expected);
}

TEST(SoftFrame, RingIBlendsTheOutlineFromIIToPwMinusIPhMinusIOnce) {
    const int pw = 60, ph = 40, n = 10;
    const auto lines = SoftFrameLines(pw, ph, n);
    ASSERT_EQ(lines.size(), 44u);
    for (int i = 0; i <= n; ++i) {
        std::map<std::pair<int, int>, int> hits;
        for (int side = 0; side < 4; ++side) {
            const BlendLineCall& c = lines[side * (n + 1) + i];
            EXPECT_EQ(c.alpha, SoftFrameAlpha(i, n));
            const PixelRect r = BlendLineRect(c, pw, ph);
            for (int x = r.x; x < r.x + r.width; ++x)
                for (int y = r.y; y < r.y + r.height; ++y)
                    ++hits[{x, y}];
        }
        std::map<std::pair<int, int>, int> outline;
        for (int x = i; x <= pw - i; ++x) {
            outline[{x, i}] = 1;
            outline[{x, ph - i}] = 1;
        }
        for (int y = i; y <= ph - i; ++y) {
            outline[{i, y}] = 1;
            outline[{pw - i, y}] = 1;
        }
        EXPECT_EQ(hits, outline) << "ring " << i;
    }
}

TEST(SoftFrame, ALineOfLengthZeroCoversTheWholeSide) {
    const PixelRect r = BlendLineRect({5, 100, true, 20, 0}, 60, 40);
    EXPECT_EQ(r.height, 40);
    EXPECT_EQ(BlendLineRect({5, 100, false, 20, -3}, 60, 40).width, 0);
}

TEST(SystemInfo, TemporaryFolderEndsInASlashAndTicksGoForward) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("TMPDIR", "/var/tmp/eigen", 1);
    EXPECT_EQ(win::GetTempPathA(), "/var/tmp/eigen/");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(win::GetTempPathA(), "/tmp/");
    if (!saved.empty())
        ::setenv("TMPDIR", saved.c_str(), 1);
    const std::uint32_t a = win::GetTickCount();
    const std::uint32_t b = win::GetTickCount();
    EXPECT_LT(std::uint32_t(b - a), 1000u);
}

} // namespace
