#include "export/icalendar_events.hpp"

#include "calendar/line_check.hpp"

namespace gironario {

IcalendarEvents::IcalendarEvents(IcsWriter& writer, LineWriter& out, const Calendar& first,
                                 std::string_view first_name, std::string_view second_name)
    : writer_(writer),
      out_(out),
      first_(first),
      first_name_(first_name),
      second_name_(second_name) {}

void IcalendarEvents::match(Calendar& calendar) {
    std::string_view line = calendar.lines.head();
    if (!calendar.lines.whole()) {
        // An event needs the whole line: its summary runs to the end.
        line_.clear();
        calendar.lines.consume([&](std::string_view piece, std::size_t) { line_.append(piece); });
        line = line_;
    }
    const std::string_view name = &calendar == &first_ ? first_name_ : second_name_;
    const IcsEvent event =
        writer_.event(line, calendar.width, calendar.year_digits, name, calendar.line_number);
    if (event != IcsEvent::written && event != IcsEvent::bad_shape && calendar.check != nullptr) {
        calendar.check->problem(
            calendar.line_number,
            ics_left_out_reason(event, line, calendar.width, calendar.year_digits));
    }
}

}  // namespace gironario
