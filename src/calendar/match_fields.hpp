#pragma once

// A match line read the way every export reads it: its number, the moment it starts, its place
// and what is left of the line, the match itself. The iCalendar file, the page for reading and
// the check of booked gyms all read a line through here, so that they agree on every match.

#include <string>
#include <string_view>

#include "calendar/match_time.hpp"
#include "io/text.hpp"

namespace gironario {

// What became of reading a match line's date and time.
enum class MatchDating {
    dated,
    bad_shape,  // a key character or a century digit is not a digit, or lies past the line's end
    bad_date,   // that day, hour or minute does not exist
};

// The parts of a dated match line, as views into the line.
struct MatchFields {
    LocalTime start;
    std::string_view number;  // the digits the line starts with
    std::string_view place;   // the first run of non-white characters after the time
    std::string_view rest;    // what follows the place, trimmed of white space at both ends
};

// The digits a match line starts with: its number as written.
std::string_view match_number(std::string_view line);

// Reads `line` (the whole line without its line feed, four-digit years with their century) of
// width offset `width` in a calendar of `year_digits`. `fields` is set only when it is dated.
MatchDating read_match_fields(std::string_view line, int width, int year_digits,
                              MatchFields& fields);

// The title of a match: its rest, or its place when the rest is empty, as append_plain_text()
// gives it (ics_text.hpp), the control characters left out first and the spaces at both ends
// trimmed after.
std::string match_title(const MatchFields& fields, bool utf8);

// Minutes from 0001-01-01 00:00 to `time`: two moments compare, and differ, as these numbers do.
long long minute_number(const LocalTime& time);

}  // namespace gironario
