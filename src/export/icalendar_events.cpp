#include "export/icalendar_events.hpp"

#include "calendar/line_check.hpp"

namespace gironario {

IcalendarEvents::IcalendarEvents(IcsWriter& writer, LineWriter& out, const Calendar& first,
                                 IcsSource first_source, IcsSource second_source)
    : writer_(writer),
      out_(out),
      first_(first),
      first_source_(first_source),
      second_source_(second_source) {}

void IcalendarEvents::match(Calendar& calendar) {
    std::string_view line = calendar.lines.head();
    if (!calendar.lines.whole()) {
        // An event needs the whole line: its summary runs to the end.
        line_.clear();
        calendar.lines.consume([&](std::string_view piece, std::size_t) { line_.append(piece); });
        line = line_;
    }
    IcsSource& source = &calendar == &first_ ? first_source_ : second_source_;
    source.line_number = calendar.line_number;
    const IcsEvent event = writer_.event(line, calendar.width, calendar.year_digits, source);
    if (event != IcsEvent::written && event != IcsEvent::bad_shape && calendar.check != nullptr) {
        calendar.check->problem(
            calendar.line_number,
            ics_left_out_reason(event, line, calendar.width, calendar.year_digits));
    }
}

}  // namespace gironario
