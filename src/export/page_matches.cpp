#include "export/page_matches.hpp"

#include <algorithm>
#include <utility>

#include "calendar/line_check.hpp"
#include "export/icalendar.hpp"

namespace gironario {

PageMatches::PageMatches(DayPage& page, LineWriter& out, std::vector<PageCalendar> calendars)
    : page_(page), out_(out), calendars_(std::move(calendars)) {
    for (PageCalendar& calendar : calendars_) {
        calendar.tag = calendar_tag(calendar.name);
    }
}

void PageMatches::match(Calendar& calendar) {
    std::string_view line = calendar.lines.head();
    if (!calendar.lines.whole()) {
        // The title runs to the end of the line.
        line_.clear();
        calendar.lines.consume([&](std::string_view piece, std::size_t) { line_.append(piece); });
        line = line_;
    }
    const auto named = std::find_if(calendars_.begin(), calendars_.end(),
                                    [&](const PageCalendar& c) { return c.calendar == &calendar; });
    const PageCalendar& page_calendar = *named;
    PageLine page_line;
    page_line.line = line;
    page_line.width = calendar.width;
    page_line.year_digits = calendar.year_digits;
    page_line.calendar = static_cast<std::size_t>(named - calendars_.begin());
    page_line.calendar_name = page_calendar.name;
    page_line.tag = page_calendar.tag;
    page_line.line_number = calendar.line_number;
    const MatchDating dating = page_.match(page_line);
    if (dating == MatchDating::bad_date && calendar.check != nullptr) {
        calendar.check->problem(calendar.line_number,
                                page_left_out_reason(line, calendar.width, calendar.year_digits));
    }
}

std::string page_left_out_reason(std::string_view line, int width, int year_digits) {
    // The match and its date and time are told as the iCalendar export tells them; only the
    // last words, where the match is, differ.
    std::string reason = ics_left_out_reason(IcsEvent::bad_date, line, width, year_digits);
    reason.resize(reason.rfind(", la gara"));
    reason += ", la gara \xE8 in fondo alla pagina, sotto \"Da controllare\"";
    return reason;
}

}  // namespace gironario
