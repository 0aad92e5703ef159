// Reads the fuzz input as an .ics file and checks what any reading must be, whatever the bytes:
// an error leaves no match; every match is either dated, on a day and at a time that exist, or
// says why it cannot be; matches are numbered 1, 2... in the file's order, and matches and
// notices name lines of the file, in order; notices and reasons are Latin-1 text without control
// characters. The same file with its bare LF line ends written CR LF must read the same.
//
// Input: the file, as it is.

#include <chrono>
#include <cstdint>
#include <string>

#include "calendar/ics_calendar.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

bool is_message(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 0x20 && byte < 0x7F) || byte == 0xE8;
    });
}

bool exists(const LocalTime& time) {
    using namespace std::chrono;
    const year_month_day date{year{time.year}, month{static_cast<unsigned>(time.month)},
                              day{static_cast<unsigned>(time.day)}};
    return time.year >= 1 && time.year <= 9999 && date.ok() && time.hour >= 0 && time.hour <= 23 &&
           time.minute >= 0 && time.minute <= 59;
}

bool same(const SourceReading& a, const SourceReading& b) {
    const auto same_match = [](const SourceMatch& x, const SourceMatch& y) {
        return x.line_number == y.line_number && x.start == y.start &&
               x.unreadable == y.unreadable && x.number == y.number && x.title == y.title &&
               x.place == y.place && x.uid == y.uid;
    };
    const auto same_notice = [](const SourceNotice& x, const SourceNotice& y) {
        return x.line_number == y.line_number && x.text == y.text;
    };
    return a.error == b.error && a.utf8 == b.utf8 &&
           std::equal(a.matches.begin(), a.matches.end(), b.matches.begin(), b.matches.end(),
                      same_match) &&
           std::equal(a.notices.begin(), a.notices.end(), b.notices.begin(), b.notices.end(),
                      same_notice);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const SourceReading reading = read_ics(bytes);
    const long long lines = static_cast<long long>(std::count(bytes.begin(), bytes.end(), '\n')) +
                            (bytes.empty() || bytes.back() == '\n' ? 0 : 1);

    require(reading.error.empty() || (reading.matches.empty() && reading.notices.empty()),
            "an error with matches or notices");
    require(reading.error.empty() || is_message(reading.error), "an error that is no message");
    long long line = 0;
    for (std::size_t i = 0; i < reading.matches.size(); ++i) {
        const SourceMatch& match = reading.matches[i];
        require(match.start.has_value() != !match.unreadable.empty(),
                "a match neither dated nor told unreadable, or both");
        require(!match.start || exists(*match.start), "a start that does not exist");
        require(match.unreadable.empty() || is_message(match.unreadable),
                "a reason that is no message");
        require(match.number == std::to_string(i + 1), "matches not numbered in order");
        require(match.line_number > line && match.line_number <= lines,
                "a match's line out of order or outside the file");
        line = match.line_number;
    }
    line = 0;
    for (const SourceNotice& notice : reading.notices) {
        require(is_message(notice.text), "a notice that is no message");
        require(
            notice.line_number >= line && notice.line_number >= 1 && notice.line_number <= lines,
            "a notice's line out of order or outside the file");
        line = notice.line_number;
    }

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
