#include "calendar/prepared_source.hpp"

#include <algorithm>

#include "calendar/calendar_line.hpp"
#include "calendar/ics_calendar.hpp"
#include "calendar/table_calendar.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

bool ends_with(std::string_view name, std::string_view ending) {
    return name.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(),
                      name.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) { return a == ascii_lower(b); });
}

void append_two_digits(std::string& line, int value) {
    line += static_cast<char>('0' + value / 10 % 10);
    line += static_cast<char>('0' + value % 10);
}

// Words of a cell put in one field of a line: line breaks and tabs as spaces, and with `joined`,
// every space as a no-break space, so that the words stay one field.
void append_field(std::string& line, std::string_view words, bool joined, bool utf8) {
    for (const char c : words) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            line += joined ? (utf8 ? "\xC2\xA0" : "\xA0") : " ";
        } else {
            line += c;
        }
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

void prepare_calendar(CalendarKind kind, std::string_view bytes, PreparedCalendar& calendar) {
    calendar.reading = kind == CalendarKind::icalendar
                           ? read_ics(bytes)
                           : read_table(bytes, kind == CalendarKind::tab_table);
    const SourceReading& reading = calendar.reading;
    if (!reading.error.empty()) {
        return;
    }
    // The lines are made first, in a vector that never grows again: the records point into them.
    calendar.lines.reserve(reading.matches.size());
    for (const SourceMatch& match : reading.matches) {
        MatchRecord record;
        record.line_number = match.line_number;
        record.number = match.number;
        record.title = match.title;
        record.source = &match;
        // An event's location may name a street and a town after its place: the first part is
        // the place it is compared on.
        const std::string_view place = match.place;
        record.place = kind == CalendarKind::icalendar ? place.substr(0, place.find(',')) : place;
        while (!record.place.empty() && record.place.back() == ' ') {
            record.place.remove_suffix(1);
        }
        // NUMBER dd/mm/yy hh:mm PLACE TITLE, or "--" for a date and time that cannot be read.
        std::string line;
        append_field(line, match.number, true, reading.utf8);
        line += ' ';
        const std::size_t date_begin = line.size();
        if (match.start) {
            const LocalTime& start = *match.start;
            append_two_digits(line, start.day);
            line += '/';
            append_two_digits(line, start.month);
            line += '/';
            append_two_digits(line, start.year);
            line += ' ';
            append_two_digits(line, start.hour);
            line += ':';
            append_two_digits(line, start.minute);
        } else {
            line += "--";
        }
        // The keys of the same date and time in a line of a three-digit number, whatever the
        // number is: the keys of any line with that date and time.
        const std::string keyed = "000 " + line.substr(date_begin);
        line += ' ';
        append_field(line, match.place.empty() ? "-" : match.place, true, reading.utf8);
        line += ' ';
        append_field(line, match.title, false, reading.utf8);
        calendar.lines.push_back(std::move(line));
        record.line = calendar.lines.back();
        if (!match.start) {
            record.dating = Dating::unreadable;
            calendar.undated.push_back(record);
            continue;
        }
        record.number_offset = detect_number_offset(record.line, 0);
        record.year_digits = 2;
        record.keys = match_keys(keyed, 0, 0, record.in_place);
        record.in_place = true;
        record.dating = Dating::dated;
        record.start = minute_number(*match.start);
        calendar.matches.push_back(record);
    }
    std::stable_sort(
        calendar.matches.begin(), calendar.matches.end(),
        [](const MatchRecord& one, const MatchRecord& two) { return one.start < two.start; });
}

std::string location_of(const MatchRecord& match) {
    if (match.source == nullptr) {
        return std::string(match.place);
    }
    std::string location = match.source->place;
    for (const std::string* part : {&match.source->address, &match.source->town}) {
        if (!part->empty()) {
            location += location.empty() ? "" : ", ";
            location += *part;
        }
    }
    return location;
}

}  // namespace gironario
