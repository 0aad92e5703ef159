#pragma once

// The clocks of an iCalendar feed: its DATE and DATE-TIME values, the time zones it describes
// (VTIMEZONE, its STANDARD and DAYLIGHT observances and their yearly rules) and Italy's clock,
// which every match's start is told in.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/match_time.hpp"

namespace gironario {

// A moment as minutes since 1970-01-01 00:00 on some clock: UTC, or the wall clock of a zone.
using IcsMinutes = long long;

// A DATE or DATE-TIME value, read to the minute.
struct IcsStamp {
    enum Kind { unreadable, date, date_time } kind = unreadable;
    IcsMinutes minutes = 0;  // on its own clock
    bool utc = false;
};

// Reads a DATE (YYYYMMDD) or DATE-TIME (YYYYMMDDTHHMM[SS][Z]) value, white space around it
// allowed; unreadable when it is neither, or names a day or a time that does not exist.
IcsStamp read_ics_stamp(std::string_view text);

// A UTC offset such as +0100, -0500 or +053000, in minutes (seconds dropped); nothing when it is
// not one.
std::optional<int> read_ics_offset(std::string_view text);

// The yearly rule of a time zone's observance, as real files write them: one month, and one
// weekday counted from the start or the end of it (2SU, -1SU), or a weekday among given days.
struct IcsYearlyRule {
    int month = 0;  // 0: the month of the observance's start
    int week = 0;   // 0: the first `weekday` among month_days, or of the month
    int weekday = -1;
    std::vector<int> month_days;
    long long count = 0;  // 0: no end by count
    std::optional<IcsStamp> until;
};

// Reads an observance's RRULE; nothing for one that is not yearly or that cannot be followed.
std::optional<IcsYearlyRule> read_ics_rule(std::string_view text);

// A STANDARD or DAYLIGHT part of a VTIMEZONE: from its onsets on, clocks show UTC + `to`.
struct IcsObservance {
    IcsMinutes start = 0;  // its first onset, on the clock before it (UTC + `from`)
    int from = 0;
    int to = 0;
    std::optional<IcsYearlyRule> rule;
    std::vector<IcsStamp> dates;  // RDATE
    bool has_start = false;
    bool has_from = false;
    bool has_to = false;
    bool bad_rule = false;
};

// A VTIMEZONE with at least one observance that can be followed.
struct IcsTimeZone {
    std::vector<IcsObservance> observances;

    // The offset from UTC that the zone's clocks show at `utc`.
    int offset_at(IcsMinutes utc) const;

    // The UTC moment of a wall-clock time. Of an hour shown twice, the first; an hour skipped
    // is read on the clock before the change.
    IcsMinutes utc_of(IcsMinutes local) const;
};

// A file's time zones by TZID.
using IcsTimeZones = std::map<std::string, IcsTimeZone, std::less<>>;

// Italy's wall clock at the UTC moment `utc`.
IcsMinutes italian_time_of(IcsMinutes utc);

// The Italian wall-clock time of a DATE-TIME written with TZID `zone_name` (empty: floating,
// read as Italian). A zone that neither `zones` describes nor is known by name is read as
// written, and sets `zone_unknown`.
IcsMinutes italian_clock_of(const IcsStamp& stamp, std::string_view zone_name,
                            const IcsTimeZones& zones, bool& zone_unknown);

// The date and time of a wall-clock moment; nothing outside the years 1 to 9999.
std::optional<LocalTime> local_time_of(IcsMinutes moment);

}  // namespace gironario
