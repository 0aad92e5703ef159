#include "export/icalendar_events.hpp"

#include "export/day_page.hpp"

namespace gironario {

std::vector<IcsSource> ics_sources(std::span<const Calendar> calendars) {
    std::vector<IcsSource> sources;
    sources.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        IcsSource source;
        source.file_name = base_name(calendar.name);
        source.tag = calendar_tag(calendar.name);
        source.calendar = sources.size();
        // The first calendar of a file name has no rank, so it keeps its UIDs when another one
        // is named after it; the second is 2, and so on.
        int same = 0;
        for (const IcsSource& earlier : sources) {
            same += earlier.file_name == source.file_name ? 1 : 0;
        }
        source.rank = same == 0 ? 0 : same + 1;
        sources.push_back(source);
    }
    return sources;
}

IcalendarEvents::IcalendarEvents(IcsWriter& writer, LineWriter& out,
                                 std::span<const Calendar> calendars, CalendarChecks& checks,
                                 std::string_view file_name)
    : writer_(writer),
      out_(out),
      checks_(checks),
      file_name_(file_name),
      sources_(ics_sources(calendars)) {}

void IcalendarEvents::match(Calendar& calendar) {
    // An event needs the whole line: its summary runs to the end.
    const std::string_view line = whole_line(calendar, line_);
    IcsSource& source = sources_[calendar.index];
    source.line_number = calendar.line_number;
    const IcsEvent event = writer_.event(line, calendar.width, calendar.year_digits, source);
    if (event != IcsEvent::written && event != IcsEvent::bad_shape) {
        checks_.problem(calendar, ics_left_out_reason(event, line, calendar.width,
                                                      calendar.year_digits, file_name_));
    }
}

}  // namespace gironario
