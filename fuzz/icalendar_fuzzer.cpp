// Writes the match lines of two calendars from the fuzz input as an iCalendar file, in the order
// the merge would write them, and checks that the file is strict iCalendar whatever the lines:
// CR LF only, every content line within 75 octets and folded between characters, BEGIN and END
// balanced, each event with exactly one of each of its properties, text values in UTF-8 without
// control characters and with valid escapes, UIDs unique. There must be one event for each line
// whose key characters are digits and whose date and time exist, with its start, end and
// description, and a tentative event of a whole day for each line whose date is in its columns and
// whose time is still to be set ("da definire", "TBD", "-"), and UIDs that count every match line,
// written or not; a calendar's UIDs must not depend on the other calendar.
//
// Input: two bytes of settings, then calendar 1, a line "====", and calendar 2. The first byte
// chooses the year digits of each calendar (bits 0 and 1) and the duration of a match; the second
// the writer's buffer size. Times are floating (--fuso=locale), so that they are read as written.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calendar/calendar.hpp"
#include "calendar/typed_date.hpp"
#include "export/icalendar.hpp"
#include "export/ics_changes.hpp"
#include "fuzz_support.hpp"
#include "io/byte_stream.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

constexpr std::string_view dtstamp = "20260701T123456Z";
constexpr std::array<int, 8> durations = {120, 1, 1440, 90, 1439, 61, 30, 720};

struct Fed {
    std::string_view line;
    int number_offset;
    int year_digits;
    std::string_view calendar;
    long long number;
    MatchRecord record;  // as its calendar reads it, after the lines before it
};

// Whether a calendar holds a listing's match (a line read as a web page writes it) or a
// listing's heading numbered like a match line.
bool holds_listing(std::string_view text, int year_digits) {
    std::size_t match_lines = 0;
    for (std::string_view line : lines_of(text)) {
        match_lines += is_match_line(line) ? 1 : 0;
    }
    StringInput input{std::string(text)};
    LineReader reader(input);
    Calendar lines(reader, year_digits, "calendario.txt");
    std::size_t matches = 0;
    for (CalendarStep step = lines.next(); step != CalendarStep::ended; step = lines.next()) {
        if (step == CalendarStep::match) {
            if (lines.record().source != MatchSource::text) {
                return true;
            }
            ++matches;
        }
    }
    return matches != match_lines;
}

// A calendar's match lines with their number offsets, line numbers and records.
std::vector<Fed> match_lines_of(std::string_view text, int year_digits, std::string_view calendar) {
    std::vector<Fed> result;
    int number_offset = 0;
    long long number = 0;
    for (std::string_view line : lines_of(text)) {
        ++number;
        if (is_match_line(line)) {
            number_offset = detect_number_offset(line, number_offset);
            result.push_back({line, number_offset, year_digits, calendar, number, {}});
        }
    }
    StringInput input{std::string(text)};
    LineReader reader(input);
    Calendar lines(reader, year_digits, std::string(calendar));
    lines.set_index(calendar == "calendario1.txt" ? 0 : 1);
    std::size_t i = 0;
    for (CalendarStep step = lines.next(); step != CalendarStep::ended; step = lines.next()) {
        if (step == CalendarStep::match) {
            require(i < result.size() && lines.record().line_number == result[i].number,
                    "the calendar reads another match line than the text holds");
            result[i++].record = lines.record();
        }
    }
    require(i == result.size(), "the calendar reads fewer match lines than the text holds");
    return result;
}

// The lines in the merge's order: the earlier by their keys first, calendar 1 first at a tie.
std::vector<Fed> merge_order(const std::vector<Fed>& first, const std::vector<Fed>& second) {
    const auto keys = [](const Fed& fed) {
        return std::pair(fed.record.keys.date, fed.record.keys.time);
    };
    std::vector<Fed> result;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < first.size() || j < second.size()) {
        if (j == second.size() || (i < first.size() && keys(first[i]) <= keys(second[j]))) {
            result.push_back(first[i++]);
        } else {
            result.push_back(second[j++]);
        }
    }
    return result;
}

// What a line must become, worked out without the writer's code: its outcome and, when written,
// its DTSTART and DTEND values ("DATE:YYYYMMDD" for a whole day; no DTEND after 9999-12-31).
struct Expected {
    EventOutcome outcome = EventOutcome::undated;
    std::string start;
    std::string end;
};

bool is_leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in(int y, int m) {
    constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[static_cast<std::size_t>(m - 1)] + (m == 2 && is_leap(y) ? 1 : 0);
}

// A line whose date stands in its columns and whose time is said to be set later: its whole day.
Expected whole_day_of(const Fed& fed) {
    const int offset = year_offset(fed.year_digits);
    const auto number = [&](std::size_t at) -> std::optional<int> {
        if (at + 1 >= fed.line.size() || fed.line[at] < '0' || fed.line[at] > '9' ||
            fed.line[at + 1] < '0' || fed.line[at + 1] > '9') {
            return std::nullopt;
        }
        return (fed.line[at] - '0') * 10 + fed.line[at + 1] - '0';
    };
    const auto day = number(key_position(4, fed.number_offset, offset));
    const auto month = number(key_position(2, fed.number_offset, offset));
    const auto year = number(key_position(0, fed.number_offset, offset));
    const auto century =
        fed.year_digits == 4 ? number(century_position(fed.number_offset)) : std::optional<int>(0);
    if (!day || !month || !year || !century) {
        return {};
    }
    const int full =
        fed.year_digits == 4 ? *century * 100 + *year : *year + (*year < 69 ? 2000 : 1900);
    if (full == 0 || *month < 1 || *month > 12 || *day < 1 || *day > days_in(full, *month)) {
        return {};
    }
    std::string_view rest = fed.line.substr(key_position(1, fed.number_offset, offset) + 1);
    const auto white = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    if (rest.empty() || !white(rest.front())) {
        return {};
    }
    while (!rest.empty() && white(rest.front())) {
        rest.remove_prefix(1);
    }
    bool said = false;
    for (const std::string_view words : {"da definire", "da stabilire", "tbd", "-"}) {
        std::string lower(rest.substr(0, words.size()));
        for (char& c : lower) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        said =
            said || (lower == words && (rest.size() == words.size() || white(rest[words.size()])));
    }
    if (!said) {
        return {};
    }
    const auto text = [](int y, int m, int d) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "DATE:%04d%02d%02d", y, m, d);
        return std::string(buffer);
    };
    Expected expected{EventOutcome::written, text(full, *month, *day), ""};
    if (*day < days_in(full, *month)) {
        expected.end = text(full, *month, *day + 1);
    } else if (*month < 12) {
        expected.end = text(full, *month + 1, 1);
    } else if (full < 9999) {
        expected.end = text(full + 1, 1, 1);
    }
    return expected;
}

Expected expected_of(const Fed& fed, int minutes) {
    const int offset = year_offset(fed.year_digits);
    std::vector<std::size_t> places;
    for (int key = 0; key < KEY_CHARACTERS; ++key) {
        places.push_back(key_position(key, fed.number_offset, offset));
    }
    if (fed.year_digits == 4) {
        places.push_back(century_position(fed.number_offset));
        places.push_back(century_position(fed.number_offset) + 1);
    }
    bool in_columns = true;
    for (const std::size_t place : places) {
        if (place >= fed.line.size() || fed.line[place] < '0' || fed.line[place] > '9') {
            in_columns = false;
        }
    }
    const auto number = [&](std::size_t at) {
        return (fed.line[at] - '0') * 10 + fed.line[at + 1] - '0';
    };
    // Typed out of its columns, a line is read by its real date.
    const std::optional<TypedLine> typed = in_columns ? std::nullopt : read_typed_line(fed.line);
    if (!in_columns && !typed) {
        return whole_day_of(fed);
    }
    int year = typed ? typed->start.year : number(places[0]);
    year += typed ? 0 : fed.year_digits == 4 ? 100 * number(places[10]) : (year < 69 ? 2000 : 1900);
    int month = typed ? typed->start.month : number(places[2]);
    int day = typed ? typed->start.day : number(places[4]);
    int hour = typed ? typed->start.hour : number(places[6]);
    int minute = typed ? typed->start.minute : number(places[8]);
    if (year == 0 || month < 1 || month > 12 || day < 1 || day > days_in(year, month) ||
        hour > 23 || minute > 59) {
        return {EventOutcome::bad_date, "", ""};
    }
    const auto text = [](int y, int mo, int d, int h, int mi) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d%02d%02dT%02d%02d00", y, mo, d, h, mi);
        return std::string(buffer);
    };
    Expected expected{EventOutcome::written, text(year, month, day, hour, minute), ""};
    // A match lasts at most a day, so it ends on its own day or the next.
    const int end_minute = hour * 60 + minute + minutes;
    hour = end_minute / 60 % 24;
    minute = end_minute % 60;
    if (end_minute >= 24 * 60 && ++day > days_in(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            if (++year > 9999) {
                return {EventOutcome::bad_end, "", ""};
            }
        }
    }
    expected.end = text(year, month, day, hour, minute);
    return expected;
}

// Decodes UTF-8 strictly; nothing when `bytes` is not well-formed.
std::optional<std::u32string> decode_utf8(std::string_view bytes) {
    std::u32string result;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if ((lead >= 0x80 && lead < 0xC0) || lead > 0xF4 || i + length > bytes.size()) {
            return std::nullopt;
        }
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0u) != 0x80u) {
                return std::nullopt;
            }
            c = c << 6 | (next & 0x3Fu);
        }
        constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
        if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return std::nullopt;
        }
        result += c;
        i += length;
    }
    return result;
}

// Checks a text value: UTF-8 without control characters, every backslash starting an escape,
// every comma and semicolon escaped.
void check_text(std::string_view value) {
    const std::optional<std::u32string> text = decode_utf8(value);
    require(text.has_value(), "a text value is not UTF-8");
    for (std::size_t i = 0; i < text->size(); ++i) {
        const char32_t c = (*text)[i];
        require(c >= 0x20 && (c < 0x7F || c > 0x9F), "a control character in a text value");
        require(c != ',' && c != ';', "an unescaped comma or semicolon in a text value");
        if (c == '\\') {
            ++i;
            require(i < text->size() && std::u32string_view(U"\\,;nN").find((*text)[i]) !=
                                            std::u32string_view::npos,
                    "a backslash that starts no escape");
        }
    }
}

bool is_date_time(std::string_view value) {
    if (value.size() != 15 || value[8] != 'T') {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (i != 8 && (value[i] < '0' || value[i] > '9')) {
            return false;
        }
    }
    return true;
}

using Event = std::map<std::string, std::string, std::less<>>;

// Reads an iCalendar file strictly, as the header tells, and returns its events' properties.
std::vector<Event> parse_strictly(std::string_view file) {
    std::vector<std::string> lines;  // unfolded
    while (!file.empty()) {
        const std::size_t end = file.find("\r\n");
        require(end != std::string_view::npos, "the file does not end with CR LF");
        const std::string_view piece = file.substr(0, end);
        require(piece.find_first_of("\r\n") == std::string_view::npos, "a bare CR or LF");
        require(piece.size() <= 75, "a content line longer than 75 octets");
        require(decode_utf8(piece).has_value(), "a folded piece that is not UTF-8 on its own");
        if (!piece.empty() && piece[0] == ' ') {
            require(!lines.empty(), "a continuation before any content line");
            lines.back().append(piece.substr(1));
        } else {
            lines.emplace_back(piece);
        }
        file.remove_prefix(end + 2);
    }
    const std::vector<std::string> head = {"BEGIN:VCALENDAR",
                                           "VERSION:2.0",
                                           "PRODID:",
                                           "NAME:calendario",
                                           "X-WR-CALNAME:calendario",
                                           "REFRESH-INTERVAL;VALUE=DURATION:PT6H",
                                           "X-PUBLISHED-TTL:PT6H"};
    require(lines.size() > head.size() && lines.back() == "END:VCALENDAR" &&
                std::equal(head.begin(), head.end(), lines.begin(),
                           [](const auto& a, const auto& b) { return b.starts_with(a); }),
            "the calendar's head or end is wrong");
    check_text(std::string_view(lines[2]).substr(7));

    static const std::set<std::string, std::less<>> properties = {
        "UID",      "DTSTAMP",     "DTSTART",    "DTEND",    "SUMMARY",
        "LOCATION", "DESCRIPTION", "CATEGORIES", "SEQUENCE", "LAST-MODIFIED"};
    // Those of an event of a whole day, which has no DTEND when it is the last day of 9999.
    static const std::set<std::string, std::less<>> whole_day = {"STATUS", "TRANSP"};
    const auto is_whole_day = [](const Event& event) {
        const auto start = event.find("DTSTART");
        return start != event.end() && start->second.starts_with("DATE:");
    };
    std::vector<Event> events;
    std::optional<Event> open;
    for (std::size_t i = head.size(); i + 1 < lines.size(); ++i) {
        std::string line = lines[i];
        // A date's VALUE parameter, the only one written: kept with the value.
        for (const std::string_view name : {"DTSTART", "DTEND"}) {
            const std::string dated = std::string(name) + ";VALUE=DATE:";
            if (line.starts_with(dated)) {
                line = std::string(name) + ":DATE:" + line.substr(dated.size());
            }
        }
        const std::size_t colon = line.find(':');
        require(colon != std::string_view::npos && colon > 0, "a content line without a name");
        const std::string_view name = std::string_view(line).substr(0, colon);
        const std::string_view value = std::string_view(line).substr(colon + 1);
        require(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ-") == std::string_view::npos,
                "a bad property name");
        if (name == "BEGIN") {
            require(!open && value == "VEVENT", "BEGIN inside an event, or of something else");
            open.emplace();
        } else if (name == "END") {
            const bool day = open && is_whole_day(*open);
            require(open && value == "VEVENT" &&
                        open->size() == properties.size() + (day ? whole_day.size() : 0) -
                                            (day && !open->contains("DTEND") ? 1 : 0),
                    "END without its BEGIN, or an event missing a property");
            require(
                !day || (open->at("STATUS") == "TENTATIVE" && open->at("TRANSP") == "TRANSPARENT" &&
                         (open->contains("DTEND") || open->at("DTSTART") == "DATE:99991231")),
                "an event of a whole day that is not tentative and transparent");
            events.push_back(std::move(*open));
            open.reset();
        } else {
            require(open && (properties.count(name) == 1 || whole_day.count(name) == 1),
                    "a property outside an event, or unknown");
            require(open->emplace(name, value).second, "a property twice in one event");
            if (name == "DTSTART" || name == "DTEND") {
                const bool date =
                    value.size() == 13 && value.starts_with("DATE:") &&
                    value.find_first_not_of("0123456789", 5) == std::string_view::npos;
                require(is_date_time(value) || date,
                        "a start or end that is neither a floating date-time nor a date");
            } else if (name == "SEQUENCE") {
                require(value == "0", "a SEQUENCE without a previous file");
            } else if (name == "LAST-MODIFIED") {
                require(value == dtstamp, "LAST-MODIFIED is not the run's time");
            } else if (name != "DTSTAMP" && whole_day.count(name) == 0) {
                check_text(value);
            }
        }
    }
    require(!open, "an event without its END");
    return events;
}

struct Run {
    std::string file;
    std::vector<EventOutcome> outcomes;
};

Run write(const std::vector<Fed>& lines, int minutes, std::size_t capacity,
          IcsChanges* changes = nullptr) {
    Run run;
    StringOutput output(run.file);
    LineWriter out(output, capacity);
    IcsWriter writer(out, {minutes, std::string(dtstamp), "1.0.0", IcsZone::floating}, changes);
    writer.begin();
    for (const Fed& fed : lines) {
        const std::string_view tag = fed.calendar.substr(0, fed.calendar.rfind('.'));
        run.outcomes.push_back(writer.event(
            fed.record, {fed.calendar, tag, 0, tag.back() == '1' ? 0u : 1u, fed.number}));
    }
    writer.end();
    require(out.close(), "writing to a string failed");
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const int digits1 = (data[0] & 1u) != 0 ? 4 : 2;
    const int digits2 = (data[0] & 2u) != 0 ? 4 : 2;
    const int minutes = durations[(data[0] >> 2) & 7u];
    const std::size_t capacity = writer_capacity(data[1]);
    const std::vector<std::string_view> calendars =
        cut(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2), 2);

    // Its model places a match by its line's columns: a listing's matches are read by the
    // listing's own table of tests.
    if (holds_listing(calendars[0], digits1) || holds_listing(calendars[1], digits2)) {
        return 0;
    }
    const std::vector<Fed> first = match_lines_of(calendars[0], digits1, "calendario1.txt");
    const std::vector<Fed> second = match_lines_of(calendars[1], digits2, "calendario2.txt");
    const std::vector<Fed> merged = merge_order(first, second);
    const Run run = write(merged, minutes, capacity);
    const std::vector<Event> events = parse_strictly(run.file);

    std::size_t event = 0;
    std::set<std::string, std::less<>> uids;
    std::map<std::pair<std::string_view, std::string_view>, int> occurrences;
    std::vector<std::string> first_uids;
    for (std::size_t i = 0; i < merged.size(); ++i) {
        const Fed& fed = merged[i];
        const Expected expected = expected_of(fed, minutes);
        require(run.outcomes[i] == expected.outcome, "a line's outcome is not the expected one");
        // Every match line is counted for the UIDs, written or not.
        const std::string_view number =
            fed.line.substr(0, fed.line.find_first_not_of("0123456789"));
        const int occurrence = ++occurrences[{fed.calendar, number}];
        if (expected.outcome != EventOutcome::written) {
            continue;
        }
        require(event < events.size(), "fewer events than lines that pass");
        const Event& found = events[event++];
        require(found.at("DTSTAMP") == dtstamp, "DTSTAMP is not the run's time");
        require(found.at("DTSTART") == expected.start, "DTSTART is not the line's date and time");
        require(expected.end.empty() ? !found.contains("DTEND") : found.at("DTEND") == expected.end,
                "DTEND is not the start and the duration, or a whole day's end");
        require(found.at("DESCRIPTION") ==
                    "Gara " + std::string(number) + "\\, " + std::string(fed.calendar),
                "DESCRIPTION is not the match number and the calendar");
        require(found.at("LOCATION").empty() || !found.at("SUMMARY").empty(),
                "an empty summary for a line with a place");
        require(uids.insert(found.at("UID")).second, "two events share a UID");
        require(found.at("UID") == std::string(number) + "-" + std::to_string(occurrence) + "-" +
                                       std::string(fed.calendar) + "@gironario",
                "a UID is not the match's number, its occurrence and its calendar");
        if (fed.calendar == "calendario1.txt") {
            first_uids.push_back(found.at("UID"));
        }
    }
    require(event == events.size(), "more events than lines that pass");

    // The file read back as the previous one is taken whole, and written again against it, it
    // comes out the same, with nothing to report but the counts.
    StringInput written_file(run.file);
    // Room for a content line of 75 octets and its CR LF, or more.
    LineReader reader(written_file, std::max<std::size_t>(capacity, 77));
    PreviousReading previous = read_previous_calendar(reader);
    require(previous.calendar != nullptr && previous.calendar->events.size() == events.size(),
            "the file written is not taken back whole as the previous one");
    IcsChanges changes(std::move(previous.calendar));
    require(write(merged, minutes, capacity, &changes).file == run.file,
            "written against itself, the file changes");
    int report_lines = 0;
    changes.report([&](std::string_view) { ++report_lines; });
    require(report_lines == 1, "written against itself, the file reports changes");

    // Calendar 1 alone gives its events the same UIDs.
    const Run alone = write(first, minutes, capacity);
    std::vector<std::string> alone_uids;
    for (const Event& found : parse_strictly(alone.file)) {
        alone_uids.push_back(found.at("UID"));
    }
    require(alone_uids == first_uids, "calendar 2 changed the UIDs of calendar 1");
    return 0;
}
