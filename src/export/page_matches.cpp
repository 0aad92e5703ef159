#include "export/page_matches.hpp"

#include "io/text.hpp"

namespace gironario {

PageMatches::PageMatches(DayPage& page, LineWriter& out, std::span<const Calendar> calendars,
                         CalendarChecks& checks, const TeamFilter* teams)
    : page_(page), out_(out), checks_(checks), tags_(calendars, teams) {
    names_.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        names_.push_back(calendar.name());
    }
    checks_.text().own(where_, ", la gara \xE8 in fondo alla pagina, sotto \"Da controllare\"");
}

void PageMatches::match(const MatchRecord& match, const BookedWith* booked) {
    PageLine line;
    line.match = &match;
    line.calendar_name = names_[match.calendar];
    line.tags = tags_with(tags_, match, also(), tag_list_);
    if (booked != nullptr) {
        // For the families: the other match by its title and time, which they know it by.
        note_.assign("campo occupato anche da ");
        note_.append(match_title(booked->title, booked->place,
                                 is_utf8(booked->title) && is_utf8(booked->place)));
        note_.append(", ");
        append_clock(note_, local_time(booked->start));
        line.clash_note = note_;
    }
    page_.match(line);
    if (match.dating == Dating::bad_date) {
        checks_.problem(match, left_out_reason(LeftOut::no_date, match, where_, checks_.text()));
    }
}

}  // namespace gironario
