#include "copy_progress.h"

#include "texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// floor(part ÷ whole × 100); nothing when it cannot be had. A file that grew far beyond
// its planned size gives a large percentage, not a wrapped one: the bars stay full.
std::optional<int> Percent(double part, double whole) {
    if (whole == 0)
        return std::nullopt;
    const double p = std::floor(part / whole * 100.0);
    if (!std::isfinite(p))
        return std::nullopt;
    return static_cast<int>(std::clamp(p, -1e9, 1e9));
}

// Rounded half to even into 32 bits; nothing on overflow.
std::optional<std::int32_t> RoundToInt32(double v) {
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<std::int32_t>::min() ||
        r > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

} // namespace

CopyProgressDisplay CopyCallback(std::int64_t transferred, std::int64_t fileSize,
                                 std::int64_t totalSize, std::int64_t doneSize,
                                 std::int32_t elapsedMs, char decimalSeparator) {
    CopyProgressDisplay d;
    const int filePercent = Percent(double(transferred), double(fileSize)).value_or(0);
    const double bytesDone = double(doneSize) + double(transferred);
    const int totalPercent = Percent(bytesDone, double(totalSize)).value_or(0);
    d.fileBar = filePercent >= 100 ? 100 : filePercent;
    d.totalBar = totalPercent >= 100 ? 100 : totalPercent;
    d.caption = std::to_string(d.totalBar) + "% kopiert";
    if (totalPercent != 0) {
        const std::int32_t estimated =
            RoundToInt32(double(elapsedMs) / bytesDone * double(totalSize)).value_or(0);
        d.estimatedDuration = FormatTime(RoundToInt32(estimated / 1000.0).value_or(0));
        d.timeLeft =
            FormatTime(RoundToInt32((double(estimated) - double(elapsedMs)) / 1000.0).value_or(0));
        const double left =
            (double(totalSize) - double(doneSize) - double(transferred)) / 1048576.0;
        d.megabytesLeft = std::to_string(static_cast<long long>(std::trunc(left))) + " MB";
    }
    // The average speed since the run began, which users like to see beside the estimates.
    if (elapsedMs > 0 && bytesDone > 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f MB/s", bytesDone / 1048576.0 / (elapsedMs / 1000.0));
        std::string text(buf);
        if (const auto dot = text.find('.'); dot != std::string::npos)
            text[dot] = decimalSeparator;
        d.speed = text;
    }
    return d;
}
