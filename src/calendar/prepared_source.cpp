#include "calendar/prepared_source.hpp"

#include <algorithm>

#include "calendar/ics_calendar.hpp"
#include "calendar/table_calendar.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

bool ends_with(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() &&
           same_ignoring_case(name.substr(name.size() - ending.size()), ending);
}

std::string_view without_trailing_spaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

// What every row or event gets once its file is read: what it is compared on, where a phone
// navigates to, and the line the formats that copy lines write.
void complete(MatchRecord& match, MatchSource source, bool utf8) {
    match.source = source;
    if (match.dating != Dating::dated) {
        match.dating = Dating::unreadable;
    }
    // With the place as the file writes it: an event's whole location.
    match.line = row_line(match, utf8);
    if (source == MatchSource::icalendar) {
        // An event's location may name a street and a town after its place: the first part is
        // the place it is compared on.
        match.location = match.place;
        match.place = without_trailing_spaces(
            std::string_view(match.location).substr(0, match.location.find(',')));
    } else {
        match.location = match.place;
        for (const std::string* part : {&match.address, &match.town}) {
            if (!part->empty()) {
                match.location += match.location.empty() ? "" : ", ";
                match.location += *part;
            }
        }
        match.place = without_trailing_spaces(match.place);
    }
}

}  // namespace

CalendarKind calendar_kind(std::string_view name) {
    if (ends_with(name, ".csv")) {
        return CalendarKind::table;
    }
    if (ends_with(name, ".tsv")) {
        return CalendarKind::tab_table;
    }
    if (ends_with(name, ".ics")) {
        return CalendarKind::icalendar;
    }
    return CalendarKind::text;
}

PreparedCalendar prepare_calendar(CalendarKind kind, std::string_view bytes) {
    PreparedCalendar calendar;
    const bool icalendar = kind == CalendarKind::icalendar;
    calendar.reading =
        icalendar ? read_ics(bytes) : read_table(bytes, kind == CalendarKind::tab_table);
    const MatchSource source = icalendar ? MatchSource::icalendar : MatchSource::table;
    for (MatchRecord& match : calendar.reading.matches) {
        complete(match, source, calendar.reading.utf8);
        (match.dating == Dating::dated ? calendar.dated : calendar.undated)
            .push_back(std::move(match));
    }
    calendar.reading.matches.clear();
    // Rows of one minute in the file's order.
    std::stable_sort(
        calendar.dated.begin(), calendar.dated.end(),
        [](const MatchRecord& one, const MatchRecord& two) { return one.start < two.start; });
    return calendar;
}

}  // namespace gironario
