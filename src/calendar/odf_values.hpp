#pragma once

// The values of an OpenDocument spreadsheet's date and time cells, written as the table rules
// read dates and times.

#include <optional>
#include <string>
#include <string_view>

namespace gironario::odf {

// office:date-value, "2026-10-04" or "2026-10-04T18:30:00" (a fraction and a zone allowed), as
// "04/10/2026" or "04/10/2026 18:30"; nothing when it is no such date.
std::optional<std::string> date_value_text(std::string_view value);

// office:time-value, a duration as "PT18H30M00S" or "P0DT18H30M", as the time of day it shows,
// "18:30"; nothing when it is no such duration (years, months or a minus sign included).
std::optional<std::string> time_value_text(std::string_view value);

}  // namespace gironario::odf
