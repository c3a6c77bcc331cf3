#include "geometry/startup_geometry.h"

#include <gtest/gtest.h>

namespace {

// A full-HD screen in twips, with a panel of 40 pixels (600 twips) along the top.
constexpr ScreenArea kScreen{0, 600, 28800, 15600};

TEST(StartupPlacement, StoredWidthIsCentredOnTheScreen) {
    const WindowPlacement p =
        ComputeStartupPlacement(0, 0, 9000, 0, 11790, 7000, {0, 0, 19200, 10800});
    EXPECT_DOUBLE_EQ(p.width, 9000);
    EXPECT_DOUBLE_EQ(p.left, 5100);
    EXPECT_DOUBLE_EQ(p.height, 7000);
    EXPECT_DOUBLE_EQ(p.top, 1900);
    // Centred within the area the panels leave.
    const WindowPlacement below = ComputeStartupPlacement(0, 0, 0, 0, 8800, 7600, kScreen);
    EXPECT_DOUBLE_EQ(below.left, 10000);
    EXPECT_DOUBLE_EQ(below.top, 4600);
}

TEST(StartupPlacement, AStoredSizeBeyondTheScreenIsCutToIt) {
    // 0x80000 twips are some 35000 pixels: gigabytes of window.
    const WindowPlacement huge =
        ComputeStartupPlacement(0, 0, 0x80000, 0x80000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(huge.width, 28800);
    EXPECT_DOUBLE_EQ(huge.height, 15600);
    EXPECT_DOUBLE_EQ(huge.left, 0);
    EXPECT_DOUBLE_EQ(huge.top, 600);
    const WindowPlacement widest =
        ComputeStartupPlacement(300, 900, 0x7FFFFFFF, 5000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(widest.width, 28800);
    EXPECT_DOUBLE_EQ(widest.height, 5000);
    EXPECT_DOUBLE_EQ(widest.left, 0); // moved back so that it fits
    EXPECT_DOUBLE_EQ(widest.top, 900);
    // A damaged negative size reads as the designed one.
    const WindowPlacement negative =
        ComputeStartupPlacement(300, 900, -5, -0x80000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(negative.width, 11790);
    EXPECT_DOUBLE_EQ(negative.height, 7000);
}

TEST(StartupPlacement, AWindowStartingOnTheScreenEndsOnItAndOneElsewhereStays) {
    const WindowPlacement hanging =
        ComputeStartupPlacement(25000, 12000, 9000, 7000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(hanging.left, 28800 - 9000);
    EXPECT_DOUBLE_EQ(hanging.top, 600 + 15600 - 7000);
    const WindowPlacement inside =
        ComputeStartupPlacement(1500, 1200, 9000, 7000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(inside.left, 1500);
    EXPECT_DOUBLE_EQ(inside.top, 1200);
    // Beyond the area, as on a second monitor: the window checks that it is on some screen.
    const WindowPlacement kept =
        ComputeStartupPlacement(-40000, 45000, 9000, 7000, 11790, 7000, kScreen);
    EXPECT_DOUBLE_EQ(kept.left, -40000);
    EXPECT_DOUBLE_EQ(kept.top, 45000);
    // With no known screen nothing is cut or moved.
    const WindowPlacement unknown =
        ComputeStartupPlacement(-40000, 45000, 0x80000, 0, 100, 100, {});
    EXPECT_DOUBLE_EQ(unknown.left, -40000);
    EXPECT_DOUBLE_EQ(unknown.top, 45000);
    EXPECT_DOUBLE_EQ(unknown.width, 0x80000);
}

} // namespace
