#pragma once

#include <QString>

#include <cstdint>

// A moment (seconds since 1970, UTC) as the user reads it: in the local time zone, summer
// time included, in the user's short date and long time format without the zone's name.
// With `omitMidnight`, a time of exactly 00:00:00 is left out.
QString LocalDateTimeText(std::int64_t unixSeconds, bool omitMidnight);
