#include "calendar/calendar.hpp"

#include <algorithm>

#include "calendar/calendar_line.hpp"
#include "calendar/time_to_be_set.hpp"
#include "calendar/typed_date.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

MatchKeys keys_of(int year, int month, int day, int hour, int minute) {
    return {year % 100 * 10000 + month * 100 + day, hour * 100 + minute};
}

// The number, place and title of a match line whose place starts at or after `from`: the place
// is one word, the title what follows it, trimmed.
void find_words(std::string_view line, std::size_t from, MatchRecord& match) {
    std::size_t digits = 0;
    while (digits < line.size() && is_digit(line[digits])) {
        ++digits;
    }
    match.number.assign(line.substr(0, digits));
    match.place.clear();
    match.title.clear();
    while (from < line.size() && is_white(line[from])) {
        ++from;
    }
    if (from >= line.size()) {
        return;
    }
    std::size_t end = from;
    while (end < line.size() && !is_white(line[end])) {
        ++end;
    }
    match.place.assign(line.substr(from, end - from));
    match.title.assign(trimmed(line.substr(end)));
}

// Whether a text line's teams are looked for in the whole line: one whose place cannot be found,
// and one whose time is still to be set, which is kept by the teams the line names as it always
// was, place and all.
bool whole_line_names_teams(const MatchRecord& match) {
    return match.place.empty() || match.time_pending;
}

}  // namespace

void Calendar::set_index(std::size_t index) {
    index_ = index;
    text_record_.calendar = index;
    if (prepared_ != nullptr) {
        for (MatchRecord& match : prepared_->dated) {
            match.calendar = index;
        }
    }
}

CalendarStep Calendar::next() {
    for (;;) {
        const CalendarStep step = next_any();
        if (step != CalendarStep::match || filter_ == nullptr) {
            return step;
        }
        if (names_a_team(*filter_, record())) {
            ++kept_;
            return step;
        }
        ++left_out_;
    }
}

CalendarStep Calendar::next_any() {
    if (prepared_ != nullptr) {
        if (next_prepared_ == prepared_->dated.size()) {
            ended_ = true;
            return CalendarStep::ended;
        }
        ++next_prepared_;
        return CalendarStep::match;
    }
    ++line_number_;
    if (!lines_->next()) {
        ended_ = true;
        return CalendarStep::ended;
    }
    const std::string_view line = lines_->line();
    if (!is_match_line(line)) {
        if (read_listing(line, false) == ListingLine::match) {
            ++match_lines_;
            return CalendarStep::match;
        }
        other_text_ = other_text_ || !trimmed(line).empty();
        return CalendarStep::skipped;
    }
    ++match_lines_;
    if (!read_line(line)) {
        --match_lines_;
        other_text_ = true;
        return CalendarStep::skipped;
    }
    return CalendarStep::match;
}

ListingLine Calendar::read_listing(std::string_view line, bool match_line) {
    // The number it takes when it writes none: its place among the calendar's matches.
    const long long position = match_lines_ + (match_line ? 0 : 1);
    const ListingLine listed =
        read_listing_line(line, match_line, position, places_, listing_, text_record_);
    if (listed == ListingLine::match) {
        text_record_.line_number = line_number_;
        text_record_.time_pending = false;
        previous_keys_ = text_record_.keys;
        listing_held_ = true;
    }
    return listed;
}

bool Calendar::read_line(std::string_view line) {
    MatchRecord& match = text_record_;
    if (listing_held_) {
        // What a listing's match had and a line of the calendar's own has not.
        listing_held_ = false;
        match.source = MatchSource::text;
        for (std::string* field : {&match.location, &match.address, &match.town, &match.league,
                                   &match.home, &match.away}) {
            field->clear();
        }
    }
    match.line_number = line_number_;
    match.time_pending = false;
    number_offset_ = detect_number_offset(line, number_offset_);
    const int offset = year_offset(year_digits_);
    if (const auto columns = read_columns(line, number_offset_, year_digits_)) {
        match.in_place = true;
        match.year_digits = year_digits_;
        match.keys =
            keys_of(columns->year, columns->month, columns->day, columns->hour, columns->minute);
        // An undated line after it stays after it, whether its day exists or not.
        previous_keys_ = match.keys;
        const Date date{full_year(columns->year, year_digits_ == 4 ? 4 : 2), columns->month,
                        columns->day};
        const ClockTime time{columns->hour, columns->minute};
        if (exists(date) && exists(time)) {
            listing_.years.latest = date;
            match.dating = Dating::dated;
            match.at = {date.year, date.month, date.day, time.hour, time.minute};
            match.start = minute_number(match.at);
            match.unreadable.clear();
        } else {
            // Told as the line writes it: digits of no day.
            match.dating = Dating::bad_date;
            const auto field = [&](int first_key) {
                return line.substr(key_position(first_key, number_offset_, offset), 2);
            };
            match.unreadable.assign(field(4)).append("/").append(field(2)).append("/");
            if (year_digits_ == 4) {
                match.unreadable.append(line.substr(century_position(number_offset_), 2));
            }
            match.unreadable.append(field(0)).append(" alle ").append(field(6));
            match.unreadable.append(":").append(field(8));
        }
        if (year_digits_ == 4) {
            const std::size_t century = century_position(number_offset_);
            match.line.assign(line.substr(0, century));
            match.line.append(line.substr(century + 2));
        } else {
            match.line.assign(line);
        }
        find_words(line, key_position(KEY_CHARACTERS - 1, number_offset_, offset) + 1, match);
        find_known_place(line, key_position(KEY_CHARACTERS - 1, number_offset_, offset) + 1);
        return true;
    }
    // A line typed out of its columns ("5 8/11/2026 18:00 ...") is placed by its real date and
    // written in the columns; any other stays after the match before it in its calendar, whole.
    TypedLine typed;
    if (read_typed_line(line, typed)) {
        match.in_place = true;
        match.year_digits = 2;
        match.dating = Dating::dated;
        match.at = typed.start;
        listing_.years.latest = Date{typed.start.year, typed.start.month, typed.start.day};
        match.start = minute_number(typed.start);
        match.keys = keys_of(typed.start.year, typed.start.month, typed.start.day, typed.start.hour,
                             typed.start.minute);
        previous_keys_ = match.keys;
        match.line = std::move(typed.line);
        const int typed_offset = detect_number_offset(match.line, 0);
        find_words(match.line, key_position(KEY_CHARACTERS - 1, typed_offset, 0) + 1, match);
        find_known_place(match.line, key_position(KEY_CHARACTERS - 1, typed_offset, 0) + 1);
        return true;
    }
    // A heading numbered like a match line ("10a Giornata - 5 ottobre") is no match.
    if (const ListingLine listed = read_listing(line, true); listed != ListingLine::other) {
        return listed == ListingLine::match;
    }
    match.in_place = false;
    match.year_digits = year_digits_;
    match.dating = Dating::bad_shape;
    match.keys = previous_keys_;
    match.line.assign(line);
    // Its day known and its time not set yet: the formats that can place it on its day do, the
    // others keep it after the match before it.
    if (const auto day = read_day_only_line(line, number_offset_, year_digits_)) {
        match.time_pending = true;
        match.at = {day->date.year, day->date.month, day->date.day, 0, 0};
        match.start = minute_number(match.at);
        find_words(line, day->words, match);
        find_known_place(line, day->words);
        return true;
    }
    find_words(line, line.size(), match);
    return true;
}

std::vector<std::size_t> teams_named(const TeamFilter& filter, const MatchRecord& match) {
    std::vector<std::size_t> named;
    for (std::size_t i = 0; i < filter.typed().size(); ++i) {
        bool found = false;
        if (match.source != MatchSource::text) {
            const bool utf8 = is_utf8(match.line);
            found = filter.names(i, match.home, utf8) || filter.names(i, match.away, utf8) ||
                    filter.names(i, match.title, utf8);
        } else {
            const std::string_view teams = whole_line_names_teams(match) ? match.line : match.title;
            found = filter.names(i, teams, is_utf8(teams));
        }
        if (found) {
            named.push_back(i);
        }
    }
    return named;
}

void Calendar::find_known_place(std::string_view line, std::size_t from) {
    if (places_ == nullptr || text_record_.place.empty()) {
        return;
    }
    while (from < line.size() && is_white(line[from])) {
        ++from;
    }
    for (const std::string& name : *places_) {
        const std::string_view written = line.substr(from, name.size());
        const std::size_t end = from + name.size();
        if (name.size() > text_record_.place.size() && same_ignoring_case(written, name) &&
            (end == line.size() || is_white(line[end]))) {
            text_record_.place.assign(written);
            text_record_.title.assign(trimmed(line.substr(end)));
            return;
        }
    }
}

bool names_a_team(const TeamFilter& filter, const MatchRecord& match) {
    if (match.source != MatchSource::text) {
        const bool utf8 = is_utf8(match.line);
        return filter.keeps(match.home, utf8) || filter.keeps(match.away, utf8) ||
               filter.keeps(match.title, utf8);
    }
    // A text line names its teams after its place; a line whose place cannot be found, anywhere.
    const std::string_view teams = whole_line_names_teams(match) ? match.line : match.title;
    return filter.keeps(teams, is_utf8(teams));
}

}  // namespace gironario
