#pragma once

// One encoding for the lines that the text formats copy from the rows and events of several
// calendars: a file that Notepad reads in Windows-1252 must not hold a no-break space in UTF-8.

#include <string>
#include <string_view>

#include "calendar/prepared_source.hpp"

namespace gironario {

// Puts every record of `calendar` whose words are in UTF-8 in Windows-1252 instead, its line
// and its words alike, so that every reader of the record reads it in one encoding.
void rows_in_windows_1252(PreparedCalendar& calendar);

}  // namespace gironario
