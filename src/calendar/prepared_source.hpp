#pragma once

// The matches of a calendar read whole (a table or an iCalendar file) made ready for the merge:
// the dated ones in date and time order (those of one minute in the file's order), each a whole
// record; the others kept apart, to be told and listed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_kind.hpp"
#include "calendar/match_record.hpp"
#include "calendar/source_reading.hpp"

namespace gironario {

struct PreparedCalendar {
    // Its error, its notices and its encoding; its matches are moved to the two lists below.
    SourceReading reading;
    std::vector<MatchRecord> dated;    // in date and time order
    std::vector<MatchRecord> undated;  // in the file's order
    // A document's text (.docx, .odt), to be read as a text calendar: its paragraphs and its
    // tables' rows as lines.
    std::optional<std::string> text;
};

// Reads `bytes`, a whole file of `kind` (not text); its reading's error says why it is no
// calendar, or what it is instead (a PDF, an image...) and what to do.
PreparedCalendar prepare_calendar(CalendarKind kind, std::string_view bytes);

}  // namespace gironario
