#pragma once

#include "calendar/calendar_line.hpp"
#include "calendar/line_writer.hpp"

namespace gironario {

// Merges two calendars, each in chronological order, into one, and returns the number of match
// lines written. Lines that are not match lines are dropped. Of two matches the one earlier by
// year, month, day, hour and minute comes first; at a tie calendar 1's match comes first and an
// empty line follows the pair. A match that comes first by its date (not by its time alone) is
// followed by an empty line. When one calendar ends, the rest of the other is copied.
//
// Stops early, leaving the output incomplete, when a read or a write fails: the caller asks the
// readers and the writer.
long long merge(Calendar& first, Calendar& second, LineWriter& out);

}  // namespace gironario
