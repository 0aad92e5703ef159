#include "calendar/typed_date.hpp"

#include <algorithm>
#include <array>
#include <chrono>

#include "calendar/calendar_line.hpp"
#include "calendar/folded_text.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

constexpr int LAST_YEAR = 9999;

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

bool is_letter(char c) {
    // Bytes past ASCII are taken as letters: the accented end of "lunedì" in either encoding.
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Reads forward through one text; every read either moves past what it matched or leaves the
// position where it was.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool at_end() const { return at_ == text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[at_]; }
    std::size_t position() const { return at_; }
    std::string_view rest() const { return text_.substr(at_); }

    bool take(char c) {
        if (peek() != c || at_end()) {
            return false;
        }
        ++at_;
        return true;
    }

    // Takes one of `chars`, returning it, else '\0'.
    char take_one_of(std::string_view chars) {
        const char c = peek();
        if (at_end() || chars.find(c) == std::string_view::npos) {
            return '\0';
        }
        ++at_;
        return c;
    }

    // Takes `word` in any ASCII case.
    bool take_word(std::string_view word) {
        if (!same_ignoring_case(text_.substr(at_, word.size()), word)) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    // Takes the run of spaces and tabs here, returning how long it was.
    std::size_t take_blanks() {
        const std::size_t start = at_;
        while (!at_end() && is_blank(text_[at_])) {
            ++at_;
        }
        return at_ - start;
    }

    // Takes the whole run of digits here when it has `min` to `max` digits, giving its value.
    std::optional<int> take_number(std::size_t min, std::size_t max) {
        std::size_t end = at_;
        while (end < text_.size() && is_digit(text_[end])) {
            ++end;
        }
        if (end - at_ < min || end - at_ > max) {
            return std::nullopt;
        }
        int value = 0;
        for (; at_ < end; ++at_) {
            value = value * 10 + (text_[at_] - '0');
        }
        return value;
    }

    std::size_t digits_ahead() const {
        std::size_t end = at_;
        while (end < text_.size() && is_digit(text_[end])) {
            ++end;
        }
        return end - at_;
    }

    // Takes the run of letters (and apostrophes after them) here.
    std::string_view take_letters() {
        const std::size_t start = at_;
        while (!at_end() && is_letter(text_[at_])) {
            ++at_;
        }
        while (!at_end() && text_[at_] == '\'') {
            ++at_;
        }
        return text_.substr(start, at_ - start);
    }

    void move_to(std::size_t position) { at_ = position; }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
};

bool is_weekday(std::string_view word) {
    static constexpr std::array<std::string_view, 14> names = {
        "lunedi", "martedi", "mercoledi", "giovedi", "venerdi", "sabato", "domenica",
        "lun",    "mar",     "mer",       "gio",     "ven",     "sab",    "dom",
    };
    std::string key = folded(word, is_utf8(word));
    // "lunedi'" is how a keyboard without accents writes it.
    while (!key.empty() && key.back() == '\'') {
        key.pop_back();
    }
    for (const std::string_view name : names) {
        if (key == name) {
            return true;
        }
    }
    return false;
}

// The month an Italian month's name gives, whole or in its first three letters, any case.
std::optional<int> month_named(std::string_view word) {
    static constexpr std::array<std::string_view, 12> names = {
        "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
        "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre",
    };
    std::string key(word);
    std::transform(key.begin(), key.end(), key.begin(), ascii_lower);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (key == names[i] || (key.size() == 3 && names[i].starts_with(key))) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

// "5 settembre 2026", "1\xC2\xB0 marzo 27", "18 ott. 26": a day, its month by name and a year of
// two or four digits, from the cursor on, where the day's digits stand.
std::optional<Date> take_named_month_date(Cursor& cursor) {
    const auto day = cursor.take_number(1, 2);
    if (!day) {
        return std::nullopt;
    }
    // The first of the month, as "1\xB0" in either encoding.
    if (!cursor.take_word("\xC2\xB0")) {
        cursor.take('\xB0');
    }
    cursor.take_blanks();
    const auto month = month_named(cursor.take_letters());
    if (!month) {
        return std::nullopt;
    }
    cursor.take('.');
    if (cursor.take_blanks() == 0) {
        return std::nullopt;
    }
    const std::size_t digits = cursor.digits_ahead();
    const auto year = cursor.take_number(2, 4);
    if (!year || digits == 3) {
        return std::nullopt;
    }
    return Date{full_year(*year, digits), *month, *day};
}

// A date at the cursor, and whether it was written year first.
std::optional<Date> take_date(Cursor& cursor, bool& year_first) {
    const std::size_t start = cursor.position();
    if (is_letter(cursor.peek())) {
        const std::string_view word = cursor.take_letters();
        bool punctuated = cursor.take('.');
        punctuated = cursor.take(',') || punctuated;
        if (!is_weekday(word) || (cursor.take_blanks() == 0 && !punctuated)) {
            cursor.move_to(start);
            return std::nullopt;
        }
    }
    Date date;
    year_first = cursor.digits_ahead() == 4;
    bool read = false;
    const std::size_t digits_start = cursor.position();
    if (const auto named = take_named_month_date(cursor)) {
        date = *named;
        read = true;
    } else if (cursor.move_to(digits_start); year_first) {
        const int year = *cursor.take_number(4, 4);
        const char separator = cursor.take_one_of("-/.");
        std::optional<int> month, day;
        if (separator != '\0' && (month = cursor.take_number(1, 2)) && cursor.take(separator) &&
            (day = cursor.take_number(1, 2))) {
            date = {year, *month, *day};
            read = true;
        }
    } else if (const auto day = cursor.take_number(1, 2)) {
        std::optional<int> month;
        if (cursor.take_one_of("/.-") != '\0' && (month = cursor.take_number(1, 2)) &&
            cursor.take_one_of("/.-") != '\0') {
            const std::size_t digits = cursor.digits_ahead();
            if (const auto year = cursor.take_number(2, 4); year && digits != 3) {
                date = {full_year(*year, digits), *month, *day};
                read = true;
            }
        }
    }
    if (!read || !exists(date)) {
        cursor.move_to(start);
        return std::nullopt;
    }
    return date;
}

// A time at the cursor, with the words people write before it.
std::optional<ClockTime> take_time(Cursor& cursor) {
    const std::size_t start = cursor.position();
    if (cursor.take_word("alle")) {
        cursor.take_blanks();
        cursor.take_word("ore");
    } else if (!cursor.take_word("ore") && cursor.take_word("h")) {
        cursor.take('.');
    }
    cursor.take_blanks();
    ClockTime time;
    const auto hour = cursor.take_number(1, 2);
    if (!hour) {
        cursor.move_to(start);
        return std::nullopt;
    }
    time.hour = *hour;
    const std::size_t after_hour = cursor.position();
    const char separator = cursor.take_one_of(":.,");
    if (separator == '.' && cursor.digits_ahead() == 1) {
        // A spreadsheet's number 18.30 in a time column, as federation sheets keep times: the
        // cell shows 18.3.
        time.minute = *cursor.take_number(1, 1) * 10;
    } else if (separator != '\0') {
        const auto minute = cursor.take_number(2, 2);
        if (!minute) {
            cursor.move_to(start);
            return std::nullopt;
        }
        time.minute = *minute;
        // Spreadsheets write seconds: 20:30:00.
        const std::size_t after_minute = cursor.position();
        if (separator != ',' && cursor.take(separator) && !cursor.take_number(2, 2)) {
            cursor.move_to(after_minute);
        }
    } else {
        cursor.move_to(after_hour);
    }
    // Sites in English write 8:45 PM.
    const std::size_t before_half = cursor.position();
    cursor.take_blanks();
    const bool am = cursor.take_word("am") || cursor.take_word("a.m.");
    const bool pm = !am && (cursor.take_word("pm") || cursor.take_word("p.m."));
    if (am || pm) {
        if (time.hour < 1 || time.hour > 12) {
            cursor.move_to(start);
            return std::nullopt;
        }
        time.hour = time.hour % 12 + (pm ? 12 : 0);
    } else {
        cursor.move_to(before_half);
    }
    if (!exists(time)) {
        cursor.move_to(start);
        return std::nullopt;
    }
    return time;
}

void append_two_digits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// Where a date, or with `time` a time, ends when one is written from the cursor on, where a run
// of digits starts: its shape alone, whether such a day exists or not.
bool take_shape(Cursor& cursor, bool time) {
    const auto field = [&](std::size_t min, std::size_t max) {
        return cursor.take_number(min, max).has_value();
    };
    if (time) {
        return field(1, 2) && cursor.take_one_of(":.") != '\0' && field(2, 2);
    }
    return field(1, 2) && cursor.take_one_of("/.-") != '\0' && field(1, 2) &&
           cursor.take_one_of("/.-") != '\0' &&
           (cursor.digits_ahead() == 2 || cursor.digits_ahead() == 4) && field(2, 4);
}

}  // namespace

int full_year(int year, std::size_t digits) {
    if (digits == 4) {
        return year;
    }
    // The POSIX reading of a two-digit year, as strptime's %y does.
    return year + (year <= 68 ? 2000 : 1900);
}

bool exists(const Date& date) {
    const std::chrono::year_month_day day{std::chrono::year{date.year},
                                          std::chrono::month{static_cast<unsigned>(date.month)},
                                          std::chrono::day{static_cast<unsigned>(date.day)}};
    return date.year >= 1 && date.year <= LAST_YEAR && day.ok();
}

bool exists(const ClockTime& time) {
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59;
}

bool looks_like_match(std::string_view line) {
    Cursor cursor(line);
    bool dated = false;
    while (!cursor.at_end()) {
        if (!is_digit(cursor.peek())) {
            cursor.move_to(cursor.position() + 1);
            continue;
        }
        // A run of digits: a date or a time can only start where it starts.
        const std::size_t start = cursor.position();
        if (take_shape(cursor, dated)) {
            if (dated) {
                return true;
            }
            dated = true;
            continue;
        }
        // The whole run is passed over, its value never read: it may have any length.
        cursor.move_to(start);
        cursor.move_to(start + cursor.digits_ahead());
    }
    return false;
}

std::optional<Date> read_date(std::string_view cell) {
    Cursor cursor(trimmed(cell));
    bool year_first = false;
    const auto date = take_date(cursor, year_first);
    return cursor.at_end() ? date : std::nullopt;
}

std::optional<ClockTime> read_time(std::string_view cell) {
    Cursor cursor(trimmed(cell));
    const auto time = take_time(cursor);
    return cursor.at_end() ? time : std::nullopt;
}

std::optional<DateAndTime> read_date_and_time(std::string_view cell) {
    Cursor cursor(trimmed(cell));
    bool year_first = false;
    const auto date = take_date(cursor, year_first);
    if (!date) {
        return std::nullopt;
    }
    if (cursor.at_end()) {
        return DateAndTime{*date, std::nullopt};
    }
    bool apart = cursor.take_blanks() > 0;
    if (cursor.take(',')) {
        apart = true;
        cursor.take_blanks();
    }
    if (!apart && !(year_first && cursor.take('T'))) {
        return std::nullopt;
    }
    const auto time = take_time(cursor);
    if (!time || !cursor.at_end()) {
        return std::nullopt;
    }
    return DateAndTime{*date, time};
}

bool read_typed_line(std::string_view line, TypedLine& out) {
    Cursor cursor(line);
    const std::size_t number_digits = cursor.digits_ahead();
    if (number_digits == 0) {
        return false;
    }
    cursor.move_to(number_digits);
    if (cursor.take_blanks() == 0) {
        return false;
    }
    // The date, maybe after its weekday ("Sab 01/11/2025"), maybe with its month's name.
    bool year_first = false;
    const std::optional<Date> date = take_date(cursor, year_first);
    if (!date || year_first || cursor.take_blanks() == 0) {
        return false;
    }
    // The time, maybe after the words people write before it: "ore 15:30", "alle ore 21", "h 9".
    const std::size_t before_words = cursor.position();
    bool worded = false;
    if (cursor.take_word("alle")) {
        worded = cursor.take_blanks() > 0;
        const std::size_t after_alle = cursor.position();
        if (worded && !(cursor.take_word("ore") && cursor.take_blanks() > 0)) {
            cursor.move_to(after_alle);
        }
    } else if (cursor.take_word("h.") || cursor.take_word("h") || cursor.take_word("ore")) {
        worded = cursor.take_blanks() > 0;
    }
    if (!worded) {
        cursor.move_to(before_words);
    }
    const auto hour = cursor.take_number(1, 2);
    if (!hour) {
        return false;
    }
    ClockTime time{*hour, 0};
    if (cursor.take_one_of(":.,h") != '\0') {
        const auto minute = cursor.take_number(2, 2);
        if (!minute) {
            return false;
        }
        time.minute = *minute;
    } else if (!worded) {
        return false;  // a number alone is no time: "ore 15" is, "15" is not
    }
    // Only white space within the line follows a time, or the CR of its line end.
    if (!(cursor.at_end() || is_blank(cursor.peek()) || cursor.rest() == "\r") || !exists(time)) {
        return false;
    }
    cursor.take_blanks();
    const std::string_view rest = cursor.rest();

    out.start = {date->year, date->month, date->day, time.hour, time.minute};
    out.year_two_digits = date->year % 100;
    out.line.assign(line.substr(0, number_digits));
    out.line += ' ';
    append_two_digits(out.line, date->day);
    out.line += '/';
    append_two_digits(out.line, date->month);
    out.line += '/';
    append_two_digits(out.line, out.year_two_digits);
    out.line += ' ';
    append_two_digits(out.line, time.hour);
    out.line += ':';
    append_two_digits(out.line, time.minute);
    // A CR that ends the line stays its line end, not a field.
    if (!rest.empty() && rest != "\r") {
        out.line += ' ';
    }
    out.line += rest;
    return true;
}

std::optional<TypedLine> read_typed_line(std::string_view line) {
    TypedLine typed;
    if (!read_typed_line(line, typed)) {
        return std::nullopt;
    }
    return typed;
}

namespace {

bool is_word_character(char c) {
    return is_letter(c) || is_digit(c);
}

// Whether a date or a time may end here: not inside a word, a number or another date or time
// ("15" of "15:30" is no year).
bool ends_here(const Cursor& cursor) {
    const std::string_view rest = cursor.rest();
    if (rest.empty()) {
        return true;
    }
    if (is_word_character(rest[0])) {
        return false;
    }
    // "18/10/--26" is a date written wrong, not the 18th of October.
    return rest[0] != '/' &&
           !(rest.size() > 1 && (rest[0] == ':' || rest[0] == '.' || rest[0] == ',') &&
             is_digit(rest[1]));
}

// Whether a date or a time may start after `c`: at the start of a word, not glued to a word by a
// dash or a stroke ("Girone---9 01/01/07" is a heading, not a match).
bool starts_after(char c) {
    return is_white(c) || c == '(' || c == '[' || c == '{' || c == ',' || c == ';' || c == '"' ||
           c == '\'' || c == '|';
}

// A weekday word and what follows it ("sab ", "Sab.", "domenica,"), taken when there is one.
void take_weekday(Cursor& cursor) {
    const std::size_t start = cursor.position();
    if (!is_letter(cursor.peek())) {
        return;
    }
    const std::string_view word = cursor.take_letters();
    bool punctuated = cursor.take('.');
    punctuated = cursor.take(',') || punctuated;
    if (!is_weekday(word) || (cursor.take_blanks() == 0 && !punctuated)) {
        cursor.move_to(start);
    }
}

// A day and month without a year at the cursor: "5/9", "3 Ottobre", "1\xB0 marzo", "18 ott.".
std::optional<Date> take_day_and_month(Cursor& cursor, const YearContext& context) {
    const std::size_t start = cursor.position();
    take_weekday(cursor);
    const auto day = cursor.take_number(1, 2);
    std::optional<int> month;
    if (day && cursor.take('/')) {
        month = cursor.take_number(1, 2);
    } else if (day) {
        if (!cursor.take_word("\xC2\xB0")) {
            cursor.take('\xB0');
        }
        cursor.take_blanks();
        month = month_named(cursor.take_letters());
        cursor.take('.');
    }
    std::optional<Date> date;
    if (month && ends_here(cursor)) {
        date = date_in_season(*month, *day, context);
    }
    if (!date) {
        cursor.move_to(start);
    }
    return date;
}

// A time at the cursor as a listing writes it, with the words before it.
std::optional<ClockTime> take_listed_time(Cursor& cursor) {
    const std::size_t start = cursor.position();
    bool worded = false;
    const auto word = [&](std::string_view name) {
        const std::size_t before = cursor.position();
        if (cursor.take_word(name) && !is_letter(cursor.peek())) {
            return true;
        }
        cursor.move_to(before);
        return false;
    };
    if (word("alle")) {
        worded = true;
        cursor.take_blanks();
        if (word("ore")) {
            cursor.take_blanks();
        }
    } else if (word("ore") || word("h.") || word("h")) {
        worded = true;
        cursor.take_blanks();
    }
    const auto hour = cursor.take_number(1, 2);
    std::optional<ClockTime> time;
    if (hour) {
        const std::size_t after_hour = cursor.position();
        if (cursor.take_one_of(":.,h") != '\0') {
            if (const auto minute = cursor.take_number(2, 2)) {
                time = ClockTime{*hour, *minute};
            }
        } else if (worded) {
            time = ClockTime{*hour, 0};
        }
        if (!time && worded) {
            // "ore 15." ends a sentence.
            cursor.move_to(after_hour);
            time = ClockTime{*hour, 0};
        }
    }
    if (!time || !exists(*time) || !ends_here(cursor)) {
        cursor.move_to(start);
        return std::nullopt;
    }
    return time;
}

}  // namespace

std::optional<Date> date_in_season(int month, int day, const YearContext& context) {
    int year = 0;
    if (context.latest) {
        const Date& latest = *context.latest;
        const bool before = month != latest.month ? month < latest.month : day < latest.day;
        year = latest.year + (before ? 1 : 0);
    } else {
        // Months counted as 31 days: within six months is a matter of days, either way.
        const int from_today = (month - context.today.month) * 31 + (day - context.today.day);
        year = context.today.year;
        if (from_today > 6 * 31) {
            --year;
        } else if (from_today < -6 * 31) {
            ++year;
        }
    }
    const Date date{year, month, day};
    if (!exists(date)) {
        return std::nullopt;
    }
    return date;
}

FoundDates find_dates(std::string_view text, const YearContext& context) {
    FoundDates found;
    Cursor cursor(text);
    while (!cursor.at_end() && !(found.date && found.time)) {
        const std::size_t start = cursor.position();
        if (start > 0 && !starts_after(text[start - 1])) {
            cursor.move_to(start + 1);
            continue;
        }
        if (!found.date) {
            bool year_first = false;
            std::optional<Date> date = take_date(cursor, year_first);
            found.year_written = date && ends_here(cursor);
            if (!found.year_written) {
                cursor.move_to(start);
                date = take_day_and_month(cursor, context);
            }
            if (date) {
                found.date = date;
                found.date_span = {start, cursor.position()};
                continue;
            }
        }
        if (!found.time) {
            if (const auto time = take_listed_time(cursor)) {
                found.time = time;
                found.time_span = {start, cursor.position()};
                continue;
            }
        }
        cursor.move_to(start + 1);
    }
    return found;
}

}  // namespace gironario
