#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "1024 B", "1,50 KB", "1024,00 MB", "2,00 GB": the unit changes only above 1024 of the
// smaller one. The decimal separator is the user's unless one is given.
std::string FormatSize(std::int64_t bytes);
std::string FormatSize(std::int64_t bytes, char decimalSeparator);

// Seconds as minutes and seconds, "125:30", "00:-05"; minutes are not limited to 59.
std::string FormatTime(std::int32_t seconds);

// Parts joined as a German sentence lists them: "a", "a und b", "a, b und c".
std::string ListedInGerman(const std::vector<std::string>& parts);

// The one question asked before `count` files are deleted, into the trash or for good.
std::string DeleteQuestion(std::size_t count, bool toTrash);

// The licence, as every front end names it: in --version, --help and the About window.
inline constexpr const char* kLicenceLine =
    "Lizenz: GNU GPL, Version 3 oder später (GPL-3.0-or-later)";
