// What the window shows: sizes and the copy progress in the user's notation.
#include "engine/copy_progress.h"
#include "engine/texts.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatSize, UnitsChangeOnlyAboveTheBoundaries) {
    const std::vector<std::pair<std::int64_t, std::string>> rows = {
        {0, "0 B"},           {1024, "1024 B"},        {1025, "1,00 KB"},
        {1048577, "1,00 MB"}, {1073741825, "1,00 GB"}, {5LL << 50, "5242880,00 GB"}};
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(FormatSize(bytes, ','), text) << bytes;
    EXPECT_EQ(FormatSize(1536, '.'), "1.50 KB");
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
        // An overrun: the estimate of 6.667 s is too short, the rests turn negative and the
        // bars stop at a hundred.
        {3 << 20, 3 << 20, 2 << 20, 0, 10000, ',', 100, 100, "00:07", "00:-03", "-1 MB",
         "0,30 MB/s"},
        // The speed is the average since the start, in the user's notation.
        {6 << 20, 8 << 20, 100 << 20, 25 << 20, 2500, ',', 75, 31, "00:08", "00:06", "69 MB",
         "12,40 MB/s"},
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

} // namespace
