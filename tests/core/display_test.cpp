// What the window shows: sizes, times and the copy progress in the user's notation, where
// the window opens, how its controls follow its size, and the soft frame of its picture.
#include "engine/copy_progress.h"
#include "engine/texts.h"
#include "geometry/layout_rules.h"
#include "geometry/soft_frame.h"
#include "geometry/startup_geometry.h"
#include "platform/user_locale.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>

namespace {

TEST(FormatSize, UnitsChangeOnlyAboveTheBoundaries) {
    const std::vector<std::pair<std::int64_t, std::string>> rows = {{0, "0 B"},
                                                                    {1024, "1024 B"},
                                                                    {1025, "1,00 KB"},
                                                                    {1536, "1,50 KB"},
                                                                    {1048576, "1024,00 KB"},
                                                                    {1048577, "1,00 MB"},
                                                                    {1073741824, "1024,00 MB"},
                                                                    {1073741825, "1,00 GB"},
                                                                    {5000000000LL, "4,66 GB"},
                                                                    {5LL << 50, "5242880,00 GB"}};
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(FormatSize(bytes, ','), text) << bytes;
    EXPECT_EQ(FormatSize(1536, '.'), "1.50 KB");
}

TEST(FormatSize, TheUsersLocaleGivesTheSeparatorEvenWhereItIsNotInstalled) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(FormatSize(1536), "1,50 KB");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(FormatSize(1536), "1.50 KB");
    saved.empty() ? ::unsetenv("LC_ALL") : ::setenv("LC_ALL", saved.c_str(), 1);
    for (const auto& [name, separator] : std::vector<std::pair<std::string, char>>{
             {"en_US.UTF-8", '.'}, {"fr_FR", ','}, {"nl_BE@euro", ','}, {"POSIX", '.'}})
        EXPECT_EQ(platform::DecimalSeparatorOf(name), separator) << name;
}

TEST(FormatTime, MinutesAreUnlimitedAndRestsKeepTheirSign) {
    const std::vector<std::pair<std::int32_t, std::string>> rows = {
        {0, "00:00"},     {59, "00:59"},  {60, "01:00"},   {65, "01:05"},
        {7530, "125:30"}, {-5, "00:-05"}, {-65, "-01:-05"}};
    for (const auto& [seconds, text] : rows)
        EXPECT_EQ(FormatTime(seconds), text) << seconds;
}

TEST(CopyCallback, BarsEstimatesAndSpeedFollowTheBytesAndTheTime) {
    struct Row {
        std::int64_t transferred, fileSize, total, done;
        std::int32_t elapsedMs;
        char separator;
        int fileBar, totalBar;
        // "-" for a text that is not written
        std::string estimated, left, megabytes, speed;
    };
    const std::vector<Row> rows = {
        // An empty file leaves its bar at zero but moves the total.
        {0, 0, 4000, 2000, 1000, ',', 0, 50, "00:02", "00:01", "0 MB", "0,00 MB/s"},
        // A total of zero writes no estimates.
        {0, 0, 0, 0, 500, ',', 0, 0, "-", "-", "-", "-"},
        // No time elapsed: zero for both times and no speed.
        {512, 1024, 1024, 0, 0, ',', 50, 50, "00:00", "00:00", "0 MB", "-"},
        // An overrun: the estimate of 6.667 s is too short, the rests turn negative and the
        // bars stop at a hundred.
        {3 << 20, 3 << 20, 2 << 20, 0, 10000, ',', 100, 100, "00:07", "00:-03", "-1 MB",
         "0,30 MB/s"},
        {2, 2, 1, 0, 10000, ',', 100, 100, "00:05", "00:-05", "0 MB", "0,00 MB/s"},
        // Halves round to even: 2.5 s to 2, 1.5 s to 2; 3.5 s to 4, 2.5 s to 2.
        {400, 1000, 1000, 0, 1000, ',', 40, 40, "00:02", "00:02", "0 MB", "0,00 MB/s"},
        {2, 7, 7, 0, 1000, ',', 28, 28, "00:04", "00:02", "0 MB", "0,00 MB/s"},
        // The speed is the average since the start, in the user's notation.
        {6 << 20, 8 << 20, 100 << 20, 25 << 20, 2500, ',', 75, 31, "00:08", "00:06", "69 MB",
         "12,40 MB/s"},
        {1 << 20, 1 << 20, 2 << 20, 0, 1000, '.', 100, 50, "00:02", "00:01", "1 MB", "1.00 MB/s"},
    };
    for (const Row& r : rows) {
        const CopyProgressDisplay d =
            CopyCallback(r.transferred, r.fileSize, r.total, r.done, r.elapsedMs, r.separator);
        SCOPED_TRACE(testing::Message() << r.transferred << " of " << r.fileSize << ", " << r.done
                                        << " of " << r.total << ", " << r.elapsedMs);
        EXPECT_EQ(d.fileBar, r.fileBar);
        EXPECT_EQ(d.totalBar, r.totalBar);
        EXPECT_EQ(d.caption, std::to_string(r.totalBar) + "% kopiert");
        EXPECT_EQ(d.estimatedDuration.value_or("-"), r.estimated);
        EXPECT_EQ(d.timeLeft.value_or("-"), r.left);
        EXPECT_EQ(d.megabytesLeft.value_or("-"), r.megabytes);
        EXPECT_EQ(d.speed.value_or("-"), r.speed);
    }
}

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

TEST(DeleteQuestionTest, OneFileOrManyIntoTheTrashOrForGood) {
    EXPECT_EQ(DeleteQuestion(1, true),
              "Soll diese Datei wirklich in den Papierkorb verschoben werden?");
    EXPECT_EQ(DeleteQuestion(1, false), "Soll diese Datei wirklich endgültig gelöscht werden?");
    EXPECT_EQ(DeleteQuestion(2, true),
              "Sollen diese 2 Dateien wirklich in den Papierkorb verschoben werden?");
    EXPECT_EQ(DeleteQuestion(1000000, false),
              "Sollen diese 1000000 Dateien wirklich endgültig gelöscht werden?");
}

} // namespace
