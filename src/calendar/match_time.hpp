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

// The month of the date written in a line that has_shape() (calendar_line.hpp): the minute_number()
// of its first day at 00:00 and how many days it has, or a start of -1 when that month does not
// exist. A two-digit year yy is 20yy up to 68 and 19yy from 69; a four-digit year is read as
// written and must be 0001 to 9999. The day and time are read by the line's calendar.
struct MatchMonth {
    long long start = -1;
    int days = 0;
};
MatchMonth match_month(std::string_view line, int number_offset, int year_digits);

// `start` moved `minutes` (0 or more) later, across midnight, months and years; nothing when
// that falls past the end of the year 9999.
std::optional<LocalTime> add_minutes(const LocalTime& start, int minutes);

// Minutes from 0001-01-01 00:00 to `time`: two moments compare, and differ, as these numbers do.
long long minute_number(const LocalTime& time);

// The moment `minutes` after 0001-01-01 00:00: minute_number() undone.
LocalTime local_time(long long minutes);

}  // namespace gironario
