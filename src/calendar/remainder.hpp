#pragma once

#include "calendar/calendar_line.hpp"
#include "calendar/line_writer.hpp"

namespace gironario {

// Copies the held line and every later match line of a calendar that outlasted the other, in
// their own order and with no empty lines, and returns how many were written. Other lines are
// dropped. Stops early when a read or a write fails.
long long copy_rest(Calendar& calendar, LineWriter& out);

}  // namespace gironario
