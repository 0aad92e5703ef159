#pragma once

// The matches of a table or an iCalendar file, read whole, made into records for the merge: the
// dated ones in date and time order (those of one minute in the file's order), each with the line
// the formats that copy lines write for it; the others kept apart, to be told and listed.

#include <string>
#include <string_view>
#include <vector>

#include "calendar/match_record.hpp"
#include "calendar/source_match.hpp"

namespace gironario {

// What kind of file a calendar is, by its name's ending (any case).
enum class CalendarKind { text, table, tab_table, icalendar };
CalendarKind calendar_kind(std::string_view name);

struct PreparedCalendar {
    SourceReading reading;             // owns the words the records point into
    std::vector<std::string> lines;    // each dated match's line, as the records point into
    std::vector<MatchRecord> matches;  // the dated ones, in date and time order
    std::vector<MatchRecord> undated;  // in the file's order
};

// Reads a whole file of `kind` (not text) into `calendar`; `error` says why it is no calendar of
// that kind.
void prepare_calendar(CalendarKind kind, std::string_view bytes, PreparedCalendar& calendar);

// The place where a match is, as a phone navigates to it: a row's place, address and town, or an
// event's whole location; a text line's place.
std::string location_of(const MatchRecord& match);

}  // namespace gironario
