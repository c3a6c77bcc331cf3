#include "engine/copy_progress.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyCallbackTest, AnEmptyFileLeavesItsBarAtZeroButMovesTheTotal) {
    const CopyProgressDisplay d = CopyCallback(0, 0, 4000, 2000, 1000, ',');
    EXPECT_EQ(d.fileBar, 0);
    EXPECT_EQ(d.totalBar, 50);
    EXPECT_EQ(d.caption, "50% kopiert");
    EXPECT_EQ(d.estimatedDuration, "00:02");
    EXPECT_EQ(d.timeLeft, "00:01");
}

TEST(CopyCallbackTest, ATotalOfZeroWritesNoEstimates) {
    const CopyProgressDisplay d = CopyCallback(0, 0, 0, 0, 500, ',');
    EXPECT_EQ(d.totalBar, 0);
    EXPECT_EQ(d.caption, "0% kopiert");
    EXPECT_FALSE(d.estimatedDuration || d.timeLeft || d.megabytesLeft);
}

TEST(CopyCallbackTest, NoTimeElapsedShowsZeroForBothTimes) {
    const CopyProgressDisplay d = CopyCallback(512, 1024, 1024, 0, 0, ',');
    EXPECT_EQ(d.fileBar, 50);
    EXPECT_EQ(d.estimatedDuration, "00:00");
    EXPECT_EQ(d.timeLeft, "00:00");
    EXPECT_EQ(d.megabytesLeft, "0 MB");
    EXPECT_FALSE(d.speed.has_value());
}

TEST(CopyCallbackTest, AnOverrunGivesNegativeRestsAndStopsTheBarsAtAHundred) {
    // 2 MiB planned, 3 MiB done after 10 s: the estimate is 6.667 s, five seconds too short.
    const CopyProgressDisplay d = CopyCallback(3 << 20, 3 << 20, 2 << 20, 0, 10000, ',');
    EXPECT_EQ(d.fileBar, 100);
    EXPECT_EQ(d.totalBar, 100);
    EXPECT_EQ(d.estimatedDuration, "00:07");
    EXPECT_EQ(d.timeLeft, "00:-03");
    EXPECT_EQ(d.megabytesLeft, "-1 MB");
    // Exactly five seconds too long: 00:-05.
    EXPECT_EQ(CopyCallback(2, 2, 1, 0, 10000, ',').timeLeft, "00:-05");
}

TEST(CopyCallbackTest, HalvesRoundToEven) {
    // Estimated 2500 ms: 2.5 s rounds to 2, the 1.5 s left round to 2.
    CopyProgressDisplay d = CopyCallback(400, 1000, 1000, 0, 1000, ',');
    EXPECT_EQ(d.estimatedDuration, "00:02");
    EXPECT_EQ(d.timeLeft, "00:02");
    // Estimated 3500 ms: 3.5 s rounds to 4, 2.5 s left round to 2.
    d = CopyCallback(2, 7, 7, 0, 1000, ',');
    EXPECT_EQ(d.estimatedDuration, "00:04");
    EXPECT_EQ(d.timeLeft, "00:02");
}

TEST(CopyCallbackTest, SpeedIsTheAverageSinceTheStartInTheUsersNotation) {
    const CopyProgressDisplay d = CopyCallback(6 << 20, 8 << 20, 100 << 20, 25 << 20, 2500, ',');
    EXPECT_EQ(d.speed, "12,40 MB/s");
    EXPECT_EQ(CopyCallback(1 << 20, 1 << 20, 2 << 20, 0, 1000, '.').speed, "1.00 MB/s");
}

} // namespace
