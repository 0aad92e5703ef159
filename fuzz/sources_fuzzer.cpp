// Reads the fuzz input as a calendar read whole, a spreadsheet (.csv or .tsv) or an .ics file, and
// checks what any reading must be, whatever the bytes: an error leaves no match; every match is
// either dated, on a day and at a time that exist, or says why it cannot be, in Latin-1 text;
// matches and notices name lines of the file, in order. Of an .ics file, besides: matches
// numbered 1, 2... in the file's order, and the same file with its bare LF line ends written CR
// LF reads the same. Of a spreadsheet: its encoding as the bytes are, no notice, no UID, no line
// break in a record's text; and each of its lines read as a typed text calendar line, which once
// rewritten must read again as the same moment and the same text.
//
// Input: one byte of settings (bit 0: a .tsv; bit 1: an .ics file), then the file's bytes.

#include <chrono>
#include <cstdint>
#include <string>

#include "calendar/ics_calendar.hpp"
#include "calendar/table_calendar.hpp"
#include "calendar/typed_date.hpp"
#include "fuzz_support.hpp"
#include "io/text.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

bool is_message(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
}

bool exists(const LocalTime& time) {
    using namespace std::chrono;
    const year_month_day date{year{time.year}, month{static_cast<unsigned>(time.month)},
                              day{static_cast<unsigned>(time.day)}};
    return time.year >= 1 && time.year <= 9999 && date.ok() && time.hour >= 0 && time.hour <= 23 &&
           time.minute >= 0 && time.minute <= 59;
}

bool same_match(const MatchRecord& x, const MatchRecord& y) {
    const bool same_start = x.dating == y.dating && (x.dating != Dating::dated || x.at == y.at);
    return x.line_number == y.line_number && same_start && x.unreadable == y.unreadable &&
           x.number == y.number && x.title == y.title && x.place == y.place && x.uid == y.uid &&
           x.home == y.home && x.away == y.away && x.address == y.address && x.town == y.town;
}

bool same(const SourceReading& a, const SourceReading& b) {
    const auto same_notice = [](const SourceNotice& x, const SourceNotice& y) {
        return x.line_number == y.line_number && x.text == y.text;
    };
    return a.error == b.error && a.utf8 == b.utf8 &&
           std::equal(a.matches.begin(), a.matches.end(), b.matches.begin(), b.matches.end(),
                      same_match) &&
           std::equal(a.notices.begin(), a.notices.end(), b.notices.begin(), b.notices.end(),
                      same_notice);
}

void check_reading(const SourceReading& reading, std::string_view bytes, bool ics) {
    const long long lines = static_cast<long long>(lines_of(bytes).size());
    require(reading.error.empty() || (reading.matches.empty() && reading.notices.empty()),
            "an error with matches or notices");
    require(reading.error.empty() || is_message(reading.error), "an error that is no message");
    long long line = 0;
    for (std::size_t i = 0; i < reading.matches.size(); ++i) {
        const MatchRecord& match = reading.matches[i];
        const bool dated = match.dating == Dating::dated;
        require(dated != !match.unreadable.empty(),
                "a match neither dated nor told unreadable, or both");
        require(!dated || (exists(match.at) && match.start == minute_number(match.at)),
                "a start that does not exist, or whose minute is another");
        require(match.unreadable.empty() || is_message(match.unreadable),
                "a reason that is no message");
        require(match.line_number > line && match.line_number <= lines,
                "a match's line out of order or outside the file");
        line = match.line_number;
        require(!ics || match.number == std::to_string(i + 1), "events not numbered in order");
        require(ics || (!match.number.empty() && match.uid.empty()),
                "a table row without a number, or with a UID");
        for (const std::string* text :
             {&match.title, &match.home, &match.away, &match.place, &match.address, &match.town}) {
            require(ics || text->find('\n') == std::string::npos,
                    "a row's text holds a line break");
        }
    }
    line = 0;
    for (const SourceNotice& notice : reading.notices) {
        require(ics, "a table gave a notice");
        require(is_message(notice.text), "a notice that is no message");
        require(
            notice.line_number >= line && notice.line_number >= 1 && notice.line_number <= lines,
            "a notice's line out of order or outside the file");
        line = notice.line_number;
    }
}

void check_typed_lines(std::string_view bytes) {
    TypedLine typed;
    TypedLine again;
    for (const std::string_view line : lines_of(bytes)) {
        if (!read_typed_line(line, typed)) {
            continue;
        }
        require(typed.line.size() >= 15 && typed.year_two_digits == typed.start.year % 100,
                "a typed line was rewritten short, or with another year");
        require(read_typed_line(typed.line, again) && again.line == typed.line &&
                    again.year_two_digits == typed.year_two_digits &&
                    again.start.month == typed.start.month && again.start.day == typed.start.day &&
                    again.start.hour == typed.start.hour &&
                    again.start.minute == typed.start.minute,
                "a rewritten typed line does not read as itself");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if ((data[0] & 2) == 0) {
        const SourceReading reading = read_table(bytes, (data[0] & 1) != 0);
        require(reading.utf8 == is_utf8(without_byte_order_mark(bytes)),
                "the encoding is not the bytes'");
        check_reading(reading, bytes, false);
        check_typed_lines(bytes);
        return 0;
    }
    const SourceReading reading = read_ics(bytes);
    check_reading(reading, bytes, true);
    std::string crlf;
    crlf.reserve(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            crlf += '\r';
        }
        crlf += bytes[i];
    }
    require(same(read_ics(crlf), reading), "CR LF line ends read otherwise than LF");
    return 0;
}
