#include "engine/texts.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatSizeTest, UnitsChangeOnlyAboveTheBoundaries) {
    EXPECT_EQ(FormatSize(0, ','), "0 B");
    EXPECT_EQ(FormatSize(1024, ','), "1024 B");
    EXPECT_EQ(FormatSize(1025, ','), "1,00 KB");
    EXPECT_EQ(FormatSize(1536, ','), "1,50 KB");
    EXPECT_EQ(FormatSize(1536, '.'), "1.50 KB");
    EXPECT_EQ(FormatSize(1048576, ','), "1024,00 KB");
    EXPECT_EQ(FormatSize(1048577, ','), "1,00 MB");
    EXPECT_EQ(FormatSize(1073741824, ','), "1024,00 MB");
    EXPECT_EQ(FormatSize(1073741825, ','), "1,00 GB");
    EXPECT_EQ(FormatSize(5000000000LL, ','), "4,66 GB");
    EXPECT_EQ(FormatSize(5LL << 50, ','), "5242880,00 GB");
}

TEST(FormatSizeTest, TheUsersLocaleGivesTheSeparator) {
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old != nullptr ? old : "";
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(FormatSize(1536), "1,50 KB");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(FormatSize(1536), "1.50 KB");
    if (saved.empty())
        ::unsetenv("LC_ALL");
    else
        ::setenv("LC_ALL", saved.c_str(), 1);
}

TEST(FormatTimeTest, MinutesAreUnlimitedAndRestsKeepTheirSign) {
    EXPECT_EQ(FormatTime(0), "00:00");
    EXPECT_EQ(FormatTime(59), "00:59");
    EXPECT_EQ(FormatTime(60), "01:00");
    EXPECT_EQ(FormatTime(65), "01:05");
    EXPECT_EQ(FormatTime(7530), "125:30");
    EXPECT_EQ(FormatTime(-5), "00:-05");
    EXPECT_EQ(FormatTime(-65), "-01:-05");
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
