#pragma once

// How a calendar says that a match's day is known and its time is not set yet: the words that
// stand where the time would ("da definire", "TBD", "-"), in a table's cell or in a text line
// whose date stands in its columns.

#include <cstddef>
#include <optional>
#include <string_view>

#include "calendar/typed_date.hpp"

namespace gironario {

// Whether a whole cell, or a word or two where a time would stand, says that the time is not set
// yet: "da definire", "da stabilire", "TBD" or "-", in any case, white space around them allowed.
bool says_time_to_be_set(std::string_view text);

// The day of a match line whose date stands in its columns and where the time would stand says
// that it is not set yet ("12 05/10/25 da definire PalaA A - B"), and where its place begins.
struct DayOnlyLine {
    Date date;
    std::size_t words = 0;  // where the place starts, or the line's end
};

// Reads a match line of number offset `number_offset` of a calendar with `year_digits`-digit
// years as DayOnlyLine; nothing when its date is not in its columns, is no day, or the words
// after it say anything else.
std::optional<DayOnlyLine> read_day_only_line(std::string_view line, int number_offset,
                                              int year_digits);

}  // namespace gironario
