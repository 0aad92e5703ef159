// Reads the fuzz input as a spreadsheet calendar, and each of its lines as a typed text calendar
// line, and checks what comes out whatever the bytes: every match either dated, on a day and at
// a time that exist, or told why not in Latin-1 text; rows on lines of the file, in its order; an
// error only without matches; the encoding as the bytes are. A typed line, once rewritten, must
// read again as the same moment and the same text.
//
// Input: one byte of settings (bit 0: the file is a .tsv), then the file's bytes.

#include <chrono>
#include <cstdint>
#include <string>

#include "calendar/table_calendar.hpp"
#include "calendar/typed_date.hpp"
#include "fuzz_support.hpp"
#include "io/text.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

bool exists(const LocalTime& t) {
    const std::chrono::year_month_day day{std::chrono::year{t.year},
                                          std::chrono::month{static_cast<unsigned>(t.month)},
                                          std::chrono::day{static_cast<unsigned>(t.day)}};
    return t.year >= 1 && t.year <= 9999 && day.ok() && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59;
}

void check_table(std::string_view bytes, bool tsv) {
    const SourceReading reading = read_table(bytes, tsv);
    require(reading.utf8 == is_utf8(without_byte_order_mark(bytes)),
            "the encoding is not the bytes'");
    require(reading.error.empty() || reading.matches.empty(), "an error came with matches");
    require(reading.notices.empty(), "a table gave a notice");
    const long long lines = static_cast<long long>(lines_of(bytes).size());
    long long previous = 0;
    for (const SourceMatch& match : reading.matches) {
        require(match.start.has_value() != !match.unreadable.empty(),
                "a match is neither dated nor told why not, or both");
        require(!match.start || exists(*match.start), "a match is dated on no real moment");
        for (const char c : match.unreadable) {
            require(static_cast<unsigned char>(c) >= 0x20 && c != '\x7F',
                    "why a match cannot be dated holds a control character");
        }
        require(match.line_number > previous && match.line_number <= lines,
                "a row is not on a line of the file, after the row before");
        previous = match.line_number;
        require(!match.number.empty(), "a match has no number");
        require(match.uid.empty(), "a table row has a UID");
        for (const std::string* text :
             {&match.title, &match.home, &match.away, &match.place, &match.address, &match.town}) {
            require(text->find('\n') == std::string::npos, "a record's text holds a line break");
        }
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
    check_table(bytes, (data[0] & 1) != 0);
    check_typed_lines(bytes);
    return 0;
}
