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
           same_ignoring_case(name.substr(name.size() - ending.size()), ending);
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

SourceReading read_whole(SourceFile& file) {
    SourceReading reading;
    file.read(reading, [&reading](SourceMatch& match, std::size_t) {
        reading.matches.push_back(std::move(match));
    });
    return reading;
}

void prepare_calendar(CalendarKind kind, std::string bytes, PreparedCalendar& calendar) {
    calendar.kind_ = kind;
    calendar.bytes_ = std::move(bytes);
    const std::string_view kept = calendar.bytes_;
    calendar.file_ = kind == CalendarKind::icalendar
                         ? ics_file(kept)
                         : table_file(kept, kind == CalendarKind::tab_table);
    // A row per line at most.
    if (kind != CalendarKind::icalendar) {
        calendar.dated_.reserve(
            static_cast<std::size_t>(std::count(kept.begin(), kept.end(), '\n')) + 1);
    }
    long long position = 0;
    calendar.file_->read(calendar.reading_, [&](SourceMatch& match, std::size_t where) {
        ++position;
        if (match.start) {
            calendar.dated_.push_back(
                {minute_number(*match.start), where, match.line_number, position});
        } else {
            calendar.undated_matches_.push_back(std::move(match));
        }
    });
    // Rows of one minute in the file's order.
    std::sort(calendar.dated_.begin(), calendar.dated_.end(),
              [](const PreparedCalendar::Dated& one, const PreparedCalendar::Dated& two) {
                  return one.start != two.start ? one.start < two.start : one.where < two.where;
              });
    // Sized once, never to grow again: the records point into the lines and the matches.
    calendar.undated_lines_.resize(calendar.undated_matches_.size());
    calendar.undated.resize(calendar.undated_matches_.size());
    for (std::size_t i = 0; i < calendar.undated.size(); ++i) {
        calendar.make_record(calendar.undated_matches_[i], calendar.undated_lines_[i],
                             calendar.undated[i]);
    }
}

const MatchRecord& PreparedCalendar::dated(std::size_t i) {
    const Dated& found = dated_[i];
    file_->read_again(found.where, found.line_number, found.position, match_);
    make_record(match_, line_, record_);
    return record_;
}

void PreparedCalendar::make_record(const SourceMatch& match, std::string& line,
                                   MatchRecord& record) const {
    record = MatchRecord{};
    record.line_number = match.line_number;
    record.number = match.number;
    record.title = match.title;
    record.source = &match;
    // An event's location may name a street and a town after its place: the first part is the
    // place it is compared on.
    const std::string_view place = match.place;
    record.place = kind_ == CalendarKind::icalendar ? place.substr(0, place.find(',')) : place;
    while (!record.place.empty() && record.place.back() == ' ') {
        record.place.remove_suffix(1);
    }
    // NUMBER dd/mm/yy hh:mm PLACE TITLE, or "--" for a date and time that cannot be read.
    line.clear();
    append_field(line, match.number, true, reading_.utf8);
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
    line += ' ';
    append_field(line, match.place.empty() ? "-" : match.place, true, reading_.utf8);
    line += ' ';
    append_field(line, match.title, false, reading_.utf8);
    record.line = line;
    if (!match.start) {
        record.dating = Dating::unreadable;
        return;
    }
    record.number_offset = detect_number_offset(record.line, 0);
    record.year_digits = 2;
    // The keys of the same date and time in a line of a three-digit number, whatever the number
    // is: the keys of any line with that date and time.
    char keyed[] = "000 dd/mm/yy hh:mm";
    line.copy(keyed + 4, sizeof keyed - 5, date_begin);
    record.keys = match_keys({keyed, sizeof keyed - 1}, 0, 0, record.in_place);
    record.in_place = true;
    record.dating = Dating::dated;
    record.start = minute_number(*match.start);
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
