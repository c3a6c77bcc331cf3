// What the window shows: sizes, the copy progress and a run's summary in the user's notation,
// and the soft frame around the background picture: how opaque each ring is.
#include "engine/copy_progress.h"
#include "engine/run_view.h"
#include "engine/summary_texts.h"
#include "engine/texts.h"
#include "geometry/soft_frame.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatSize, UnitsChangeOnlyAboveTheBoundaries) {
    const std::vector<std::pair<std::int64_t, std::string>> rows = {
        {0, "0 B"},           {1024, "1024 B"},        {1025, "1,00 KB"},
        {1048577, "1,00 MB"}, {1073741825, "1,00 GB"}, {5LL << 50, "5242880,00 GB"}};
    for (const auto& [bytes, text] : rows)
        EXPECT_EQ(FormatSize(bytes, ','), text) << bytes;
}

// What the progress panel shows: the file's bar, the total's bar and the caption, the
// estimated duration, the time and megabytes left and the speed ("-": not written).
std::string Shown(const CopyProgressDisplay& d) {
    return std::to_string(d.fileBar) + " " + std::to_string(d.totalBar) + " | " + d.caption +
           " | " + d.estimatedDuration.value_or("-") + " | " + d.timeLeft.value_or("-") + " | " +
           d.megabytesLeft.value_or("-") + " | " + d.speed.value_or("-");
}

TEST(CopyCallback, BarsEstimatesAndSpeedFollowTheBytesAndTheTime) {
    struct Row {
        std::int64_t transferred, fileSize, total, done;
        std::int32_t elapsedMs;
        std::string shown;
    };
    const std::vector<Row> rows = {
        // An empty file leaves its bar at zero but moves the total.
        {0, 0, 4000, 2000, 1000, "0 50 | 50% kopiert | 00:02 | 00:01 | 0 MB | 0,00 MB/s"},
        // A total of zero writes no estimates.
        {0, 0, 0, 0, 500, "0 0 | 0% kopiert | - | - | - | -"},
        // An overrun: the estimate of 6.667 s is too short, the rests turn negative and the
        // bars stop at a hundred.
        {3 << 20, 3 << 20, 2 << 20, 0, 10000,
         "100 100 | 100% kopiert | 00:07 | 00:-03 | -1 MB | 0,30 MB/s"},
        // The speed is the average since the start, in the user's notation.
        {6 << 20, 8 << 20, 100 << 20, 25 << 20, 2500,
         "75 31 | 31% kopiert | 00:08 | 00:06 | 69 MB | 12,40 MB/s"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Shown(CopyCallback(r.transferred, r.fileSize, r.total, r.done, r.elapsedMs, ',')),
                  r.shown);
}

// Whole seconds, rounded; minutes are not limited to 59.
TEST(Summary, TheDurationIsInWholeSecondsRounded) {
    EXPECT_EQ(DurationText(499), "00:00 min");
    EXPECT_EQ(DurationText(2500), "00:03 min");
    EXPECT_EQ(DurationText(7530000), "125:30 min");
}

std::vector<std::string> Texts(const std::vector<SummaryLine>& lines) {
    std::vector<std::string> texts;
    for (const SummaryLine& l : lines)
        texts.push_back(l.label + " " + l.value);
    return texts;
}

FailedItem Failure(bool changed) {
    FailedItem f;
    f.changedSinceLoad = changed;
    return f;
}

TEST(Summary, ShowsCopiesDeletionsFailuresAndTimeAlwaysTheRestWhenItHappened) {
    RunResult r;
    EXPECT_EQ(Texts(RunSummaryLines(r, ',')),
              (std::vector<std::string>{"Kopiert: 0 Dateien (0 B)", "Gelöscht: 0 Dateien",
                                        "Fehlgeschlagen: 0 Dateien", "Dauer: 00:00 min"}));
    EXPECT_EQ(RunSummaryOneLine(r, ','), "Kopiert: 0 Dateien (0 B); Dauer: 00:00 min");
    r.deleteDeclined = true;
    EXPECT_EQ(
        RunSummaryOneLine(r, ','),
        "Kopiert: 0 Dateien (0 B); Gelöscht: 0 Dateien (Löschen abgelehnt); Dauer: 00:00 min");

    r = RunResult();
    r.copied = 3;
    r.copiedBytes = 2 << 20;
    r.copiedBack = 1;
    r.copiedBackBytes = 1536;
    r.trashed = 2;
    r.trashedBytes = 10;
    r.failures = {Failure(false), Failure(true), Failure(true)};
    r.milliseconds = 61400;
    EXPECT_EQ(Texts(RunSummaryLines(r, ',')),
              (std::vector<std::string>{
                  "Kopiert: 3 Dateien (2,00 MB)", "Zurückkopiert: 1 Datei (1,50 KB)",
                  "In den Papierkorb verschoben: 2 Dateien (10 B)", "Fehlgeschlagen: 1 Datei",
                  "Nach dem Laden geändert: 2 Dateien, nicht angetastet", "Dauer: 01:01 min"}));
    r.trashed = 0;
    r.deletedForGood = 1;
    r.deletedForGoodBytes = 1;
    EXPECT_EQ(RunSummaryOneLine(r, '.'),
              "Kopiert: 3 Dateien (2.00 MB); Zurückkopiert: 1 Datei (1.50 KB); Endgültig "
              "gelöscht: 1 Datei (1 B); Fehlgeschlagen: 1 Datei; Nach dem Laden geändert: 2 "
              "Dateien, nicht angetastet; Dauer: 01:01 min");
}

TEST(Summary, ALoadSaysWhatARunWouldDo) {
    EXPECT_EQ(LoadSummaryOneLine(1, 4, false, 0, 0, ','), "Zu kopieren: 1 Datei (4 B)");
    EXPECT_EQ(LoadSummaryOneLine(2, 1536, true, 0, 0, ','),
              "Zu kopieren: 2 Dateien (1,50 KB); zu löschen: 0 Dateien (0 B)");
}

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
