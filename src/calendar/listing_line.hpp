#pragma once

// The lines of a calendar copied from a web page or a PDF: headings that give the day ("1a
// Giornata - 5 settembre"), and matches in columns parted by tabs, bars or runs of spaces, in
// prose, or in the order of a match line with its date and time written leniently. Only the
// lines a text calendar cannot read in its own way are read so: those it skips and those it
// cannot date.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/found_dates.hpp"
#include "calendar/match_record.hpp"
#include "calendar/table_headers.hpp"
#include "calendar/typed_date.hpp"

namespace gironario {

// What a cell of a listing's line holds.
enum class CellKind { empty, number, date, time, text };

// What a listing keeps from one line to the next.
struct ListingState {
    YearContext years;                // the latest date that writes its year, and the run's day
    std::optional<Date> heading_day;  // the day the latest heading gives
    // The columns the latest header row names, one per cell (nothing for a cell it does not
    // name); empty before any header row.
    std::vector<std::optional<Column>> header;
    // The cells of the line being read, their kinds and its text cells, kept for their room.
    std::vector<std::string_view> cells;
    std::vector<CellKind> kinds;
    std::vector<std::string_view> texts;
};

// What one line of a listing was.
enum class ListingLine {
    other,    // none of the lines below: the calendar reads it as it always has
    heading,  // a line that is no match line and holds a date and no time
    header,   // a row of column names in columns
    match,    // a match, in `match`
};

// Reads one line of a listing and moves `state` on. A match gets its number from the number
// the line starts with ("12", "12)", "12 -", "N. 12"), else `position`; its place, when
// `places` (longest first) names the one after its time, or its columns give one; its line as
// a table's row is written. `match_line`: whether the line starts as a match line does (such a
// line is a heading only when its number is glued to a word: "10a Giornata - 5 ottobre").
ListingLine read_listing_line(std::string_view line, bool match_line, long long position,
                              const std::vector<std::string>* places, ListingState& state,
                              MatchRecord& match);

}  // namespace gironario
