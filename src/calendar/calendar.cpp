#include "calendar/calendar.hpp"

#include "calendar/prepared_source.hpp"
#include "calendar/source_match.hpp"

namespace gironario {

namespace {

// The bytes of a digit pair at `at`, as a number.
int two_digits(const char* at) {
    return (at[0] - '0') * 10 + (at[1] - '0');
}

}  // namespace

bool Calendar::next() {
    for (;;) {
        if (!next_any()) {
            return false;
        }
        if (filter_ == nullptr || kept_by_filter()) {
            ++kept_;
            return true;
        }
        ++left_out_;
    }
}

// Inline in next(), with the record made: it runs for every line of a text calendar.
[[gnu::always_inline]] inline bool Calendar::next_any() {
    if (prepared_ != nullptr) {
        return next_prepared();
    }
    ++line_number_;
    if (!lines_->next()) {
        ended = true;
        return false;
    }
    const std::string_view line = lines_->head();
    if (!is_match_line(line)) {
        return false;
    }
    read_record(line);
    return true;
}

[[gnu::always_inline]] inline void Calendar::read_record(std::string_view line) {
    MatchRecord& match = record;
    match.calendar = index;
    match.line_number = line_number_;
    match.line = line;
    match.whole = lines_->whole();
    match.year_digits = year_digits_;
    match.number_offset = detect_number_offset(line, match.number_offset);
    const int offset = year_offset(year_digits_);
    match.keys = match_keys(line, match.number_offset, offset, match.in_place);
    // Its words are found when something asks for them: most runs never do.
    match.words = false;
    match.place_from = std::string_view::npos;
    match.padded = true;
    typed_in_hand_ = false;
    if (!match.in_place) {
        read_typed(line);
        return;
    }
    // The date of most lines is the date of the line before: its midnight is kept.
    std::uint16_t century = 0;
    if (year_digits_ == 4) {
        std::memcpy(&century, line.data() + century_position(match.number_offset), sizeof century);
    }
    if (match.keys.date != day_key_ || century != day_century_ || day_start_ == -2) {
        // And most new days are in the month of the day before: its start is kept too.
        if (match.keys.date >> 16 != day_key_ >> 16 || century != day_century_ ||
            day_start_ == -2) {
            month_ = match_month(line, match.number_offset, year_digits_);
        }
        day_key_ = match.keys.date;
        day_century_ = century;
        const int day = two_digits(line.data() + key_position(4, match.number_offset, offset));
        day_start_ = month_.start >= 0 && day >= 1 && day <= month_.days
                         ? month_.start + (day - 1) * 1440LL
                         : -1;
    }
    const char* const hour = line.data() + key_position(6, match.number_offset, offset);
    const int hours = two_digits(hour);
    const int minutes = two_digits(hour + 3);
    if (day_start_ < 0 || hours > 23 || minutes > 59) {
        match.dating = Dating::bad_date;
    } else {
        match.dating = Dating::dated;
        match.start = day_start_ + hours * 60LL + minutes;
    }
    match.place_from = key_position(KEY_CHARACTERS - 1, match.number_offset, offset) + 1;
    if (match.dating == Dating::dated) {
        previous_keys_ = match.keys;
    }
}

void Calendar::read_typed(std::string_view line) {
    MatchRecord& match = record;
    // A line typed out of its columns ("5 8/11/2026 18:00 ...") is placed by its real date and
    // written in the columns; any other stays after the match before it in its calendar, whole.
    if (!match.whole || !read_typed_line(line, typed_)) {
        match.keys = previous_keys_;
        match.dating = Dating::bad_shape;
        return;
    }
    typed_in_hand_ = true;
    match.line = typed_.line;
    match.padded = false;
    match.year_digits = 2;
    match.number_offset = detect_number_offset(match.line, match.number_offset);
    match.keys = match_keys(match.line, match.number_offset, 0, match.in_place);
    match.dating = Dating::dated;
    match.start = minute_number(typed_.start);
    match.place_from = key_position(KEY_CHARACTERS - 1, match.number_offset, 0) + 1;
    previous_keys_ = match.keys;
}

bool names_a_team(const TeamFilter& filter, const MatchRecord& match) {
    const SourceMatch* source = match.source;
    if (source != nullptr) {
        const bool utf8 = is_utf8(match.line);
        return filter.keeps(source->home, utf8) || filter.keeps(source->away, utf8) ||
               filter.keeps(source->title, utf8);
    }
    // A text line names its teams after its place; a line whose place cannot be found, anywhere.
    const MatchWords words = words_of(match);
    const std::string_view teams = words.place.empty() ? match.line : words.title;
    return filter.keeps(teams, is_utf8(teams));
}

bool Calendar::kept_by_filter() const {
    return names_a_team(*filter_, record);
}

bool Calendar::next_prepared() {
    if (next_prepared_ == prepared_->dated_count()) {
        ended = true;
        return false;
    }
    record = prepared_->dated(next_prepared_);
    record.calendar = index;
    ++next_prepared_;
    return true;
}

}  // namespace gironario
