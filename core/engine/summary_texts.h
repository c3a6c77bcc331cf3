#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RunResult;

// What a run or a load did, in words: one formatter for the window's summary, its desktop
// notifications and the terminal program's last lines. Counts are plain digits, as everywhere
// in the program; sizes are FormatSize's, in the user's notation unless a separator is given.

// "0 Dateien", "1 Datei", "2 Dateien".
std::string FileCount(std::int64_t count);
// "3 Dateien (1,50 KB)".
std::string FilesAndSize(std::int64_t count, std::int64_t bytes);
std::string FilesAndSize(std::int64_t count, std::int64_t bytes, char decimalSeparator);
// A duration in whole seconds (rounded) as minutes and seconds: "00:03 min", "125:30 min".
std::string DurationText(std::int64_t milliseconds);

// One line of a run's summary: the label, "Kopiert:", and its value, "3 Dateien (15 B)".
struct SummaryLine {
    enum class Kind {
        Copied,
        CopiedBack,
        Trashed,
        DeletedForGood,
        Deleted, // neither into the trash nor for good: "Gelöscht: 0 Dateien"
        Failed,
        LeftChanged,
        FoldersMade,
        FoldersRemoved,
        Duration,
    };
    Kind kind = Kind::Copied;
    std::string label;
    std::string value;
};

// What a run did, in this order: the copies, the copies back, the deletions, the failures,
// the files left because they changed after the load, the folders made and removed, the
// duration. The copies, the
// deletions (as "Gelöscht:" when none were made), the failures and the duration are always
// there; the others only when they happened.
std::vector<SummaryLine> RunSummaryLines(const RunResult& result, char decimalSeparator);

// The summary in one line for a notification, without the lines that count nothing (the
// copies and the duration stay): "Kopiert: 3 Dateien (15 B); Dauer: 00:25 min".
std::string RunSummaryOneLine(const RunResult& result, char decimalSeparator);

// What a load found, in one line: "Zu kopieren: 3 Dateien (15 B); zu löschen: 1 Datei (4 B)";
// the deletions only when the rule deletes.
std::string LoadSummaryOneLine(std::int64_t copies, std::int64_t copyBytes, bool deletes,
                               std::int64_t deletions, std::int64_t deletionBytes,
                               char decimalSeparator);
