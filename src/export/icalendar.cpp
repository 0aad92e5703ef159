#include "export/icalendar.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "calendar/calendar_line.hpp"
#include "calendar/match_time.hpp"
#include "export/ics_previous.hpp"
#include "export/ics_text.hpp"

namespace gironario {

namespace {

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

// YYYYMMDDTHHMM00.
void append_time(std::string& out, const LocalTime& time) {
    append_digits(out, time.year, 4);
    append_digits(out, time.month, 2);
    append_digits(out, time.day, 2);
    out += 'T';
    append_digits(out, time.hour, 2);
    append_digits(out, time.minute, 2);
    out += "00";
}

}  // namespace

IcsWriter::IcsWriter(LineWriter& out, IcsSettings settings, IcsChanges* changes)
    : out_(out), settings_(std::move(settings)), changes_(changes) {
    uids_.set_identity(settings_.identity);
}

void IcsWriter::begin() {
    out_.put("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n");
    content_ = "PRODID:-//Polisportiva Lorvane//gironario ";
    append_text_value(content_, settings_.version, is_utf8(settings_.version));
    content_ += "//IT";
    write_content_line(out_, content_);
    const bool name_utf8 = is_utf8(settings_.name);
    put_text_line("NAME", settings_.name, name_utf8);
    put_text_line("X-WR-CALNAME", settings_.name, name_utf8);
    if (!settings_.identity.empty()) {
        put_text_line("X-WR-RELCALID", settings_.identity, true);
    }
    // A subscribed app looks for changes four times a day.
    out_.put("REFRESH-INTERVAL;VALUE=DURATION:PT6H\r\nX-PUBLISHED-TTL:PT6H\r\n");
    write_ics_zone(out_, settings_.zone);
}

void IcsWriter::end() {
    out_.put("END:VCALENDAR\r\n");
}

EventOutcome IcsWriter::event(const MatchRecord& match, const IcsSource& source) {
    // Every match is counted, dated or not, so that the UIDs of the others do not shift.
    std::uint64_t renewed = 0;
    const std::uint64_t uid = uid_line(match, source, renewed);
    if (match.time_pending) {
        day_event(match, source, uid, renewed);
        return EventOutcome::written;
    }
    EventOutcome outcome = EventOutcome::written;
    std::optional<LocalTime> start;
    std::optional<LocalTime> end;
    if (match.dating != Dating::dated) {
        outcome = match.dating == Dating::bad_date ? EventOutcome::bad_date : EventOutcome::undated;
    } else {
        start = local_time(match.start);
        end = add_minutes(*start, settings_.duration_minutes);
        outcome = end ? EventOutcome::written : EventOutcome::bad_end;
    }
    if (outcome != EventOutcome::written) {
        // Not read this time: what the phones have stays as it was.
        kept_previous_ = false;
        if (changes_ != nullptr) {
            std::string_view kept = changes_->keep(uid);
            if (kept.empty() && renewed != 0) {
                kept = changes_->keep(renewed);
            }
            if (!kept.empty()) {
                out_.put(kept);
                kept_previous_ = true;
            }
        }
        return outcome;
    }
    // One reading for the whole line, so that every value of an event is read alike.
    const bool utf8 = is_utf8(match.line);
    const bool name_utf8 = is_utf8(source.file_name);
    const std::string_view described = described_file_name(source);

    begin_event();

    // The lines an event is compared on, each hashed as it is written.
    const std::string_view zone = ics_zone_parameter(settings_.zone);
    content_ = "DTSTART";
    content_ += zone;
    content_ += ':';
    append_time(content_, *start);
    put_line();
    content_ = "DTEND";
    content_ += zone;
    content_ += ':';
    append_time(content_, *end);
    put_line();
    content_ = "SUMMARY:";
    // The title is clean UTF-8 already: only the escapes are added.
    append_text_value(content_, match_title(match, utf8), true);
    put_line();
    content_ = "LOCATION:";
    if (match.source != MatchSource::text) {
        // A row's address and town, or an event's whole location, for a phone to navigate to.
        append_text_value(content_, match.location, utf8);
    } else {
        append_text_value(content_, match.place, utf8);
    }
    const std::string place = content_.substr(content_.find(':') + 1);
    // A row or an event without a place has no LOCATION: an empty one is no value at all.
    if (match.source == MatchSource::text || !place.empty()) {
        put_line();
    }
    content_ = "DESCRIPTION:Gara ";
    content_ += match.number;
    content_ += "\\, ";
    append_text_value(content_, described, name_utf8);
    put_line();
    end_event(source,
              {uid, digest_.value(), start_number(*start), place, match.number, {}, renewed},
              described, name_utf8);
    return EventOutcome::written;
}

void IcsWriter::end_event(const IcsSource& source, IcsEventState state, std::string_view described,
                          bool name_utf8) {
    if (source.categories.empty()) {
        put_text_line("CATEGORIES", source.tag, is_utf8(source.tag));
    } else {
        content_ = "CATEGORIES:";
        content_ += source.categories;
        write_content_line(out_, content_);
    }
    IcsRevision revision;
    if (changes_ != nullptr) {
        std::string file_name;
        append_plain_text(file_name, described, name_utf8);
        state.digest = digest_.value();
        state.file_name = file_name;
        revision = changes_->settle(state);
    }
    content_ = "SEQUENCE:";
    append_digits(content_, revision.sequence, 1);
    content_ += "\r\nLAST-MODIFIED:";
    content_ += revision.last_modified.empty() ? std::string_view(settings_.dtstamp)
                                               : revision.last_modified;
    content_ += "\r\nEND:VEVENT\r\n";
    out_.put(content_);
}

void IcsWriter::begin_event() {
    out_.put("BEGIN:VEVENT\r\n");
    write_content_line(out_, content_);
    out_.put("DTSTAMP:");
    out_.put(settings_.dtstamp);
    out_.put("\r\n");
}

void IcsWriter::put_line() {
    digest_.set(
        IcsDigest::part_of(std::string_view(content_).substr(0, content_.find_first_of(";:"))),
        ics_hash(content_));
    write_content_line(out_, content_);
}

void IcsWriter::put_text_line(std::string_view name, std::string_view bytes, bool utf8) {
    content_ = name;
    content_ += ':';
    append_text_value(content_, bytes, utf8);
    write_content_line(out_, content_);
}

std::string published_identity(const IcsChanges* changes, const char* source_date_epoch,
                               std::string_view result_name) {
    return changes != nullptr ? changes->identity()
                              : new_calendar_identity(source_date_epoch, result_name);
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
