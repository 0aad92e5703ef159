#include "export/icalendar.hpp"

#include "calendar/match_time.hpp"
#include "export/ics_previous.hpp"
#include "export/ics_text.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// YYYYMMDD, a DATE value.
void append_day(std::string& out, const LocalTime& day) {
    append_two_digits(out, day.year / 100);
    append_two_digits(out, day.year);
    append_two_digits(out, day.month);
    append_two_digits(out, day.day);
}

}  // namespace

void IcsWriter::day_event(const MatchRecord& match, const IcsSource& source, std::uint64_t uid,
                          std::uint64_t renewed) {
    const bool utf8 = is_utf8(match.line);
    const bool name_utf8 = is_utf8(source.file_name);
    const std::string_view described = described_file_name(source);
    begin_event();

    // A day's event ends at the next day's start (RFC 5545, 3.6.1); the last day of the year
    // 9999 has none, and an event of a date alone lasts its day.
    content_ = "DTSTART;VALUE=DATE:";
    append_day(content_, match.at);
    put_line();
    if (const auto next = add_minutes(match.at, 24 * 60)) {
        content_ = "DTEND;VALUE=DATE:";
        append_day(content_, *next);
        put_line();
    } else {
        digest_.set(IcsDigest::part_of("DTEND"), 0);
    }
    content_ = "SUMMARY:";
    append_text_value(content_, match_title(match, utf8), true);
    content_ += " (ora da definire)";
    put_line();
    content_ = "LOCATION:";
    append_text_value(content_, match.source != MatchSource::text ? match.location : match.place,
                      utf8);
    const std::string place = content_.substr(content_.find(':') + 1);
    if (match.source == MatchSource::text || !place.empty()) {
        put_line();
    } else {
        digest_.set(IcsDigest::part_of("LOCATION"), 0);
    }
    content_ = "DESCRIPTION:Gara ";
    content_ += match.number;
    content_ += "\\, ";
    append_text_value(content_, described, name_utf8);
    put_line();
    // Tentative until its time is set; and the match does not keep the whole day busy.
    out_.put("STATUS:TENTATIVE\r\nTRANSP:TRANSPARENT\r\n");
    end_event(source,
              {uid,
               0,
               ics_day_start(match.at.year, match.at.month, match.at.day),
               place,
               match.number,
               {},
               renewed},
              described, name_utf8);
}

}  // namespace gironario
