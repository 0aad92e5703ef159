#pragma once

// The date and time of a match line read as a real moment: which days and times exist, how two-
// and four-digit years are read, and the moment a match ends.

#include <optional>
#include <string_view>

namespace gironario {

// A local date and time to the minute, with no time zone.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;

    friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// The date and time written in a line that has_shape() (calendar_line.hpp), or nothing when that
// day or time does not exist. A two-digit year yy is 20yy up to 68 and 19yy from 69; a four-digit
// year is read as written and must be 0001 to 9999.
std::optional<LocalTime> match_time(std::string_view line, int width, int year_digits);

// `start` moved `minutes` (0 or more) later, across midnight, months and years; nothing when
// that falls past the end of the year 9999.
std::optional<LocalTime> add_minutes(const LocalTime& start, int minutes);

}  // namespace gironario
