#include "calendar/typed_date.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <span>

#include "calendar/calendar_line.hpp"
#include "calendar/date_cursor.hpp"
#include "calendar/folded_text.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

constexpr int LAST_YEAR = 9999;

}  // namespace

bool is_weekday(std::string_view word) {
    static constexpr std::array<std::string_view, 14> names = {
        "lunedi", "martedi", "mercoledi", "giovedi", "venerdi", "sabato", "domenica",
        "lun",    "mar",     "mer",       "gio",     "ven",     "sab",    "dom",
    };
    // Most words are none: told by their length and their first three letters, those of a short
    // name, before they are folded. The longest, "mercoledi'" or "mercoled\xC3\xAC", has eleven
    // bytes.
    const auto short_names = std::span(names).subspan(7);
    const std::string_view start = word.substr(0, 3);
    if (word.size() < 3 || word.size() > 11 ||
        std::none_of(short_names.begin(), short_names.end(),
                     [&](std::string_view name) { return same_ignoring_case(start, name); })) {
        return false;
    }
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

std::optional<int> month_named(std::string_view word) {
    static constexpr std::array<std::string_view, 12> names = {
        "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
        "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre",
    };
    if (word.size() < 3) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (same_ignoring_case(word, names[i]) ||
            (word.size() == 3 && same_ignoring_case(word, names[i].substr(0, 3)))) {
            return static_cast<int>(i) + 1;
        }
    }
    return std::nullopt;
}

namespace {

// "5 settembre 2026", "1\xC2\xB0 marzo 27", "18 ott. 26": a day, its month by name and a year of
// two or four digits, from the cursor on, where the day's digits stand.
std::optional<Date> take_named_month_date(Cursor& cursor) {
    const auto day = cursor.take_number(1, 2);
    // The month's name follows its day, after a blank or the sign of the first, if any.
    const char after = cursor.peek();
    if (!day || !(is_blank(after) || is_letter(after))) {
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

}  // namespace

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

namespace {

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
    // The date, maybe after its weekday ("Sab 01/11/2025"), maybe with its month's name: a digit
    // or a letter after the blanks.
    if (cursor.take_blanks() == 0 || !(is_digit(cursor.peek()) || is_letter(cursor.peek()))) {
        return false;
    }
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

}  // namespace gironario
