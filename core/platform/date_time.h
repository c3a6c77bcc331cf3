#pragma once

#include <cstdint>

// A date-time as whole seconds since the zero date 1899-12-30 00:00:00 UTC; 0 is the
// zero date, which stands for a time that cannot be read.
using DateTime = std::int64_t;
inline constexpr DateTime kZeroDate = 0;
// Seconds between the zero date and the Unix epoch (25569 days).
inline constexpr std::int64_t kUnixEpochInDateTime = 25569LL * 86400;

inline DateTime DateTimeFromUnix(std::int64_t unixSeconds) {
    return unixSeconds + kUnixEpochInDateTime;
}
inline std::int64_t UnixFromDateTime(DateTime t) {
    return t - kUnixEpochInDateTime;
}
