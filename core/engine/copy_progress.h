#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the window shows while a file is copied.
struct CopyProgressDisplay {
    int fileBar = 0;     // "Aktuelle Datei", 0..100
    int totalBar = 0;    // "Gesamtfortschritt", 0..100
    std::string caption; // "37% kopiert", also the status bar's text
    // Written only once the overall percentage is above 0; otherwise they keep their text.
    std::optional<std::string> estimatedDuration; // "Geschätzte Dauer:"
    std::optional<std::string> timeLeft;          // "Fertig in ca.:"
    std::optional<std::string> megabytesLeft;     // "Noch zu kopieren:" beside the size
    std::optional<std::string> speed;             // "Kopiergeschwindigkeit:", e.g. "12,40 MB/s"
};

// The display for `transferred` of `fileSize` bytes of the current file, with `doneSize` of
// `totalSize` bytes of the run behind it and `elapsedMs` since the run began. A step that
// cannot be computed (an empty file, a total of 0, an overflow) is left at 0.
CopyProgressDisplay CopyCallback(std::int64_t transferred, std::int64_t fileSize,
                                 std::int64_t totalSize, std::int64_t doneSize,
                                 std::int32_t elapsedMs, char decimalSeparator);
