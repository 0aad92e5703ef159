#include "calendar/clash_check.hpp"

#include <algorithm>
#include <climits>
#include <utility>

#include "export/ics_text.hpp"

namespace gironario {

namespace {

// The minute_number() of the first moment after the year 9999: a match ending later has no
// event in the iCalendar file, so it is not compared either.
long long past_last_year() {
    static const long long minute = minute_number(LocalTime{9999, 12, 31, 23, 59}) + 1;
    return minute;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_place(std::string_view one, std::string_view two) {
    return !one.empty() && one.size() == two.size() &&
           std::equal(one.begin(), one.end(), two.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

void append_two_digits(std::string& text, int value) {
    text.push_back(static_cast<char>('0' + value / 10 % 10));
    text.push_back(static_cast<char>('0' + value % 10));
}

void append_date(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.day);
    text.push_back('/');
    append_two_digits(text, time.month);
    text.push_back('/');
    append_two_digits(text, time.year / 100);
    append_two_digits(text, time.year);
}

void append_clock(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.hour);
    text.push_back(':');
    append_two_digits(text, time.minute);
}

// "04/10/2026 16:30-18:30", with the end's date too when the match ends on another day.
void append_interval(std::string& text, const LocalTime& start, int minutes) {
    append_date(text, start);
    text.push_back(' ');
    append_clock(text, start);
    text.push_back('-');
    // Kept matches end by the year 9999.
    const LocalTime end = add_minutes(start, minutes).value_or(start);
    if (end.year != start.year || end.month != start.month || end.day != start.day) {
        append_date(text, end);
        text.push_back(' ');
    }
    append_clock(text, end);
}

}  // namespace

ClashCheck::ClashCheck(ClashSettings settings, Warn warn)
    : settings_(settings), warn_(std::move(warn)), latest_start_(LLONG_MIN) {}

const BookedWith* ClashCheck::take(const ClashLine& line) {
    MatchFields fields;
    if (read_match_fields(line.line, line.width, line.year_digits, fields) != MatchDating::dated) {
        return nullptr;
    }
    const long long start = minute_number(fields.start);
    const long long end = start + settings_.duration_minutes;
    if (end >= past_last_year()) {
        return nullptr;
    }
    const bool in_order = start >= latest_start_;
    if (in_order) {
        latest_start_ = start;
        // Every match lasts the same time, so the first kept ends first.
        while (count_ > 0 && held(0).end <= start) {
            first_ = (first_ + 1) % held_.size();
            --count_;
        }
    }
    const BookedWith* booked = nullptr;
    // A second listing of a kept match: its clashes were told with the first.
    bool copy = false;
    clashes_.clear();
    for (std::size_t i = 0; i < count_; ++i) {
        const Held& other = held(i);
        if (other.start >= end || start >= other.end) {
            continue;  // only a line out of order meets these
        }
        const bool place = same_place(other.place(), fields.place);
        if (place && other.start == start && same_match(line, fields, other)) {
            copy = true;
            continue;
        }
        if (place && booked == nullptr) {
            booked_ = {other.calendar,
                       other.calendar_name,
                       other.line_number,
                       std::string(other.number()),
                       std::string(other.place()),
                       other.start_time};
            booked = &booked_;
        }
        if (place || (settings_.overlaps && other.calendar != line.calendar)) {
            clashes_.emplace_back(i, place);
        }
    }
    if (!copy) {
        for (const auto& [index, place] : clashes_) {
            tell(line, fields, held(index), place);
        }
    }
    if (in_order && !copy) {
        keep(line, fields, start, end);
    }
    return booked;
}

void ClashCheck::finish() {
    if (told_ <= SHOWN_CLASHES) {
        return;
    }
    const long long more = told_ - SHOWN_CLASHES;
    if (more == 1) {
        text_.assign("gironario: un'altra sovrapposizione non \xE8 elencata\n");
    } else {
        text_.assign("gironario: altre ").append(std::to_string(more));
        text_.append(" sovrapposizioni non sono elencate\n");
    }
    told_ = SHOWN_CLASHES;
    warn_(text_);
}

void ClashCheck::keep(const ClashLine& line, const MatchFields& fields, long long start,
                      long long end) {
    if (count_ == held_.size()) {
        // Full: the ring is laid out from its first slot again, so that a new slot can follow.
        std::rotate(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(first_),
                    held_.end());
        first_ = 0;
        held_.emplace_back();
    }
    Held& kept = held(count_);
    ++count_;
    kept.start = start;
    kept.end = end;
    kept.start_time = fields.start;
    kept.calendar = line.calendar;
    kept.calendar_name = line.calendar_name;
    kept.line_number = line.line_number;
    kept.width = line.width;
    kept.year_digits = line.year_digits;
    kept.line.assign(line.line);
    // The fields are views into the line.
    const auto at = [&](std::string_view field) {
        return field.empty() ? std::size_t{0}
                             : static_cast<std::size_t>(field.data() - line.line.data());
    };
    kept.number_size = fields.number.size();
    kept.place_begin = at(fields.place);
    kept.place_size = fields.place.size();
    kept.rest_begin = at(fields.rest);
    kept.rest_size = fields.rest.size();
}

bool ClashCheck::same_match(const ClashLine& line, const MatchFields& fields,
                            const Held& other) const {
    if (!fields.rest.empty() && fields.rest == other.rest()) {
        return true;
    }
    // The titles may still be equal as the iCalendar export writes them (a tab for a space,
    // control characters left out, the place for an empty rest, the other encoding).
    MatchFields other_fields;
    if (read_match_fields(other.line, other.width, other.year_digits, other_fields) !=
        MatchDating::dated) {
        return false;
    }
    return match_title(fields, is_utf8(line.line)) ==
           match_title(other_fields, is_utf8(other.line));
}

void ClashCheck::tell(const ClashLine& line, const MatchFields& fields, const Held& other,
                      bool place) {
    if (told_++ >= SHOWN_CLASHES) {
        return;
    }
    text_.assign("gironario: ").append(line.calendar_name).append(":");
    text_.append(std::to_string(line.line_number)).append(": ");
    if (place) {
        text_.append(fields.place).append(" \xE8 occupato anche dalla gara ");
    } else {
        text_.append("si sovrappone alla gara ");
    }
    text_.append(other.number()).append(" di ").append(other.calendar_name);
    text_.append(" (riga ").append(std::to_string(other.line_number)).append("), ");
    if (!place && !other.place().empty()) {
        text_.append("a ").append(other.place()).append(", ");
    }
    append_interval(text_, other.start_time, settings_.duration_minutes);
    text_.push_back('\n');
    warn_(text_);
}

}  // namespace gironario
