#pragma once

#include "calendar/calendar_line.hpp"
#include "calendar/line_writer.hpp"
#include "calendar/merge.hpp"

namespace gironario {

// Copies the held line and every later match line of a calendar that outlasted the other, in
// their own order and with no day breaks, and returns how many were copied. The held line must be
// a match line with its width and keys worked out, as the merge leaves it; other lines are
// dropped. Stops early when a read or a write fails.
long long copy_rest(Calendar& calendar, MergeSink& out);

// The same, written as the merged text into `out`.
long long copy_rest(Calendar& calendar, LineWriter& out);

}  // namespace gironario
