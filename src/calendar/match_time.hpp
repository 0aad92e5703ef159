#pragma once

// Moments to the minute: the number that orders them, and the moment a match ends.

#include <optional>

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

// `start` moved `minutes` (0 or more) later, across midnight, months and years; nothing when
// that falls past the end of the year 9999.
std::optional<LocalTime> add_minutes(const LocalTime& start, int minutes);

// Minutes from 0001-01-01 00:00 to `time`: two moments compare, and differ, as these numbers do.
long long minute_number(const LocalTime& time);

// The moment `minutes` after 0001-01-01 00:00: minute_number() undone.
LocalTime local_time(long long minutes);

}  // namespace gironario
