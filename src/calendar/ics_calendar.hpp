#pragma once

// A phone calendar (.ics, iCalendar) read as a team app or a sports site publishes it: each event
// a match, its start told in Italian local time whatever zone the file writes it in.

#include <string_view>

#include "calendar/source_reading.hpp"

namespace gironario {

// Reads a whole iCalendar file: every VEVENT that is not cancelled is a match, in the file's
// order, dated in Italian local time or told why it cannot be; a file without BEGIN:VCALENDAR
// is an error. Memory grows with the file, never with how deeply its components nest.
SourceReading read_ics(std::string_view bytes);

}  // namespace gironario
