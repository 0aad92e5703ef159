#include "export/page_matches.hpp"

#include <algorithm>
#include <utility>

#include "calendar/line_check.hpp"
#include "export/icalendar.hpp"

namespace gironario {

PageMatches::PageMatches(DayPage& page, LineWriter& out, std::span<const Calendar> calendars,
                         CalendarChecks& checks)
    : page_(page), out_(out), checks_(checks) {
    tags_.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        tags_.emplace_back(calendar_tag(calendar.name));
    }
}

void PageMatches::match(Calendar& calendar) {
    // The title runs to the end of the line.
    const std::string_view line = whole_line(calendar, line_);
    PageLine page_line;
    page_line.line = line;
    page_line.width = calendar.width;
    page_line.year_digits = calendar.year_digits;
    page_line.calendar = calendar.index;
    page_line.calendar_name = calendar.name;
    page_line.tag = tags_[calendar.index];
    page_line.line_number = calendar.line_number;
    if (const BookedWith* booked = checks_.booked_with()) {
        note_.assign("luogo occupato anche dalla gara ").append(booked->number);
        note_.append(" di ").append(booked->calendar_name);
        note_.append(" (riga ").append(std::to_string(booked->line_number)).append(")");
        page_line.clash_note = note_;
    }
    if (page_.match(page_line) == MatchDating::bad_date) {
        checks_.problem(calendar, page_left_out_reason(line, calendar.width, calendar.year_digits));
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
