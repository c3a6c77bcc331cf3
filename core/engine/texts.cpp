#include "texts.h"

#include "platform/user_locale.h"

#include <cstdio>
#include <cstdlib>

namespace {

std::string TwoDecimals(double value, char separator, const char* unit) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    std::string text(buf);
    if (const auto dot = text.find('.'); dot != std::string::npos)
        text[dot] = separator;
    return text + unit;
}

// "00": at least two digits, a minus sign in front of them.
std::string TwoDigits(long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%02ld", value < 0 ? "-" : "", std::labs(value));
    return buf;
}

} // namespace

std::string FormatSize(std::int64_t bytes) {
    return FormatSize(bytes, platform::UserDecimalSeparator());
}

std::string FormatSize(std::int64_t bytes, char decimalSeparator) {
    if (bytes < 1025)
        return std::to_string(bytes) + " B";
    if (bytes <= 1048576)
        return TwoDecimals(bytes / 1024.0, decimalSeparator, " KB");
    if (bytes <= 1073741824)
        return TwoDecimals(bytes / 1048576.0, decimalSeparator, " MB");
    return TwoDecimals(bytes / 1073741824.0, decimalSeparator, " GB");
}

std::string FormatTime(std::int32_t seconds) {
    const long minutes = seconds / 60; // toward zero
    const long rest = seconds % 60;    // with the sign of seconds
    return TwoDigits(minutes) + ":" + TwoDigits(rest);
}

std::string DeleteQuestion(std::size_t count, bool toTrash) {
    const char* const how = toTrash ? "in den Papierkorb verschoben" : "endgültig gelöscht";
    if (count == 1)
        return std::string("Soll diese Datei wirklich ") + how + " werden?";
    return "Sollen diese " + std::to_string(count) + " Dateien wirklich " + how + " werden?";
}

std::string ListedInGerman(const std::vector<std::string>& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " und " : ", ") + parts[i];
    return text;
}
