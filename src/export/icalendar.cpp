#include "export/icalendar.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "calendar/calendar_line.hpp"
#include "export/ics_text.hpp"
#include "export/match_fields.hpp"
#include "export/match_time.hpp"

namespace gironario {

namespace {

// The most different lines of one run of a date and time whose occurrences are counted.
constexpr std::size_t COUNTED_PER_START = 64;

std::uint64_t fnv1a(std::string_view bytes) {
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3u;
    }
    return hash;
}

// The start as one number that orders as the moments do: YYYYMMDDHHMM.
long long start_number(const LocalTime& time) {
    return (((time.year * 100LL + time.month) * 100 + time.day) * 100 + time.hour) * 100 +
           time.minute;
}

// `number`, not negative, in at least `width` digits. Not snprintf: this runs a dozen times for
// every event.
void append_digits(std::string& out, long long number, int width) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(static_cast<std::size_t>(std::max<std::ptrdiff_t>(width - (end - digits), 0)), '0');
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// YYYYMMDDTHHMM, and the seconds when `seconds`.
void append_time(std::string& out, const LocalTime& time, bool seconds) {
    append_digits(out, time.year, 4);
    append_digits(out, time.month, 2);
    append_digits(out, time.day, 2);
    out += 'T';
    append_digits(out, time.hour, 2);
    append_digits(out, time.minute, 2);
    if (seconds) {
        out += "00";
    }
}

}  // namespace

IcsWriter::IcsWriter(LineWriter& out, IcsSettings settings)
    : out_(out), settings_(std::move(settings)) {}

void IcsWriter::begin() {
    out_.put("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n");
    content_ = "PRODID:-//Polisportiva Lorvane//gironario ";
    append_text_value(content_, settings_.version, is_utf8(settings_.version));
    content_ += "//IT";
    write_content_line(out_, content_);
}

void IcsWriter::end() {
    out_.put("END:VCALENDAR\r\n");
}

IcsEvent IcsWriter::event(std::string_view line, int width, int year_digits,
                          std::string_view calendar_name, long long line_number) {
    MatchFields fields;
    const MatchDating dating = read_match_fields(line, width, year_digits, fields);
    if (dating != MatchDating::dated) {
        return dating == MatchDating::bad_shape ? IcsEvent::bad_shape : IcsEvent::bad_date;
    }
    const LocalTime& start = fields.start;
    const std::optional<LocalTime> end = add_minutes(start, settings_.duration_minutes);
    if (!end) {
        return IcsEvent::bad_end;
    }
    // One reading for the whole line, so that every value of an event is read alike.
    const bool utf8 = is_utf8(line);
    const bool name_utf8 = is_utf8(calendar_name);

    out_.put("BEGIN:VEVENT\r\n");

    content_ = "UID:";
    append_time(content_, start, false);
    const std::uint64_t hash = fnv1a(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    content_ += '-';
    for (int shift = 60; shift >= 0; shift -= 4) {
        content_ += "0123456789abcdef"[(hash >> shift) & 0xF];
    }
    content_ += '-';
    append_occurrence(calendar_name, start_number(start), hash, line_number);
    content_ += '-';
    append_text_value(content_, calendar_name, name_utf8);
    content_ += "@gironario";
    write_content_line(out_, content_);

    out_.put("DTSTAMP:");
    out_.put(settings_.dtstamp);
    out_.put("\r\nDTSTART:");
    content_.clear();
    append_time(content_, start, true);
    out_.put(content_);
    out_.put("\r\nDTEND:");
    content_.clear();
    append_time(content_, *end, true);
    out_.put(content_);
    out_.put("\r\n");

    const std::string_view place = fields.place;
    const std::string_view rest = fields.rest;
    content_ = "SUMMARY:";
    append_text_value(content_, rest, utf8);
    if (content_.size() == std::string_view("SUMMARY:").size()) {
        append_text_value(content_, place, utf8);
    }
    write_content_line(out_, content_);
    put_text_line("LOCATION", place, utf8);

    content_ = "DESCRIPTION:Gara ";
    content_ += fields.number;
    content_ += "\\, ";
    append_text_value(content_, calendar_name, name_utf8);
    write_content_line(out_, content_);

    out_.put("END:VEVENT\r\n");
    return IcsEvent::written;
}

void IcsWriter::append_occurrence(std::string_view calendar_name, long long start,
                                  std::uint64_t hash, long long line_number) {
    auto calendar = std::find_if(calendars_.begin(), calendars_.end(),
                                 [&](const Occurrences& c) { return c.calendar == calendar_name; });
    if (calendar == calendars_.end()) {
        calendars_.push_back({std::string(calendar_name), -1, {}});
        calendar = calendars_.end() - 1;
    }
    if (start > calendar->latest_start) {
        calendar->latest_start = start;
        calendar->counts.clear();
    }
    if (start == calendar->latest_start) {
        const auto counted = std::find_if(calendar->counts.begin(), calendar->counts.end(),
                                          [&](const auto& count) { return count.first == hash; });
        if (counted != calendar->counts.end()) {
            append_digits(content_, ++counted->second, 1);
            return;
        }
        if (calendar->counts.size() < COUNTED_PER_START) {
            calendar->counts.emplace_back(hash, 1);
            content_ += '1';
            return;
        }
    }
    content_ += 'L';
    append_digits(content_, line_number, 1);
}

void IcsWriter::put_text_line(std::string_view name, std::string_view bytes, bool utf8) {
    content_ = name;
    content_ += ':';
    append_text_value(content_, bytes, utf8);
    write_content_line(out_, content_);
}

std::string ics_left_out_reason(IcsEvent why, std::string_view line, int width, int year_digits,
                                std::string_view file_name) {
    std::string reason = "gara ";
    reason += match_number(line);
    if (why == IcsEvent::bad_shape || why == IcsEvent::written) {
        reason += ": data e ora non leggibili";
    } else {
        const int offset = year_offset(year_digits);
        const auto field = [&](int first_key) {
            const std::size_t position = key_position(first_key, width, offset);
            return line.substr(position, 2);
        };
        reason += " del ";
        reason += field(4);
        reason += '/';
        reason += field(2);
        reason += '/';
        if (year_digits == 4) {
            reason += line.substr(century_position(width), 2);
        }
        reason += field(0);
        reason += " alle ";
        reason += field(6);
        reason += ':';
        reason += field(8);
        reason +=
            why == IcsEvent::bad_date ? ": data o ora inesistente" : ": finirebbe dopo l'anno 9999";
    }
    reason += ", la gara non \xE8 in ";
    reason += file_name;
    return reason;
}

std::optional<std::string> ics_timestamp(std::time_t time) {
    std::tm parts{};
#ifdef _WIN32
    if (gmtime_s(&parts, &time) != 0) {
        return std::nullopt;
    }
#else
    if (gmtime_r(&time, &parts) == nullptr) {
        return std::nullopt;
    }
#endif
    const long long year = parts.tm_year + 1900LL;
    if (year < 0 || year > 9999) {
        return std::nullopt;
    }
    char text[64];  // room for any int fields, though a valid tm needs 17
    std::snprintf(text, sizeof text, "%04lld%02d%02dT%02d%02d%02dZ", year, parts.tm_mon + 1,
                  parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

}  // namespace gironario
