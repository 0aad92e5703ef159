#pragma once

// The matches of a calendar read whole (a table or an iCalendar file) made ready for the merge:
// the dated ones in date and time order (those of one minute in the file's order), each a whole
// record; the others kept apart, to be told and listed.

#include <string_view>
#include <vector>

#include "calendar/match_record.hpp"
#include "calendar/source_reading.hpp"

namespace gironario {

// What kind of file a calendar is, by its name's ending (any case).
enum class CalendarKind { text, table, tab_table, icalendar };
CalendarKind calendar_kind(std::string_view name);

struct PreparedCalendar {
    // Its error, its notices and its encoding; its matches are moved to the two lists below.
    SourceReading reading;
    std::vector<MatchRecord> dated;    // in date and time order
    std::vector<MatchRecord> undated;  // in the file's order
};

// Reads `bytes`, a whole file of `kind` (not text); its reading's error says why it is no
// calendar of that kind.
PreparedCalendar prepare_calendar(CalendarKind kind, std::string_view bytes);

}  // namespace gironario
