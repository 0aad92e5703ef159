#include "export/icalendar_events.hpp"

namespace gironario {

std::string_view file_name_of(std::string_view path) {
#ifdef _WIN32
    const std::size_t folder_end = path.find_last_of("/\\:");
#else
    const std::size_t folder_end = path.rfind('/');
#endif
    return folder_end == std::string_view::npos ? path : path.substr(folder_end + 1);
}

IcalendarEvents::IcalendarEvents(IcsWriter& writer, LineWriter& out,
                                 std::span<const Calendar> calendars, CalendarChecks& checks,
                                 std::string_view file_name)
    : writer_(writer), out_(out), checks_(checks), file_name_(file_name) {
    names_.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        names_.push_back(file_name_of(calendar.name));
    }
}

void IcalendarEvents::match(Calendar& calendar) {
    std::string_view line = calendar.lines.head();
    if (!calendar.lines.whole()) {
        // An event needs the whole line: its summary runs to the end.
        line_.clear();
        calendar.lines.consume([&](std::string_view piece, std::size_t) { line_.append(piece); });
        line = line_;
    }
    const IcsEvent event = writer_.event(line, calendar.width, calendar.year_digits,
                                         names_[calendar.index], calendar.line_number);
    if (event != IcsEvent::written && event != IcsEvent::bad_shape) {
        checks_.problem(calendar, ics_left_out_reason(event, line, calendar.width,
                                                      calendar.year_digits, file_name_));
    }
}

}  // namespace gironario
