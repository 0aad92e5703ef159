#include "calendar/found_dates.hpp"

#include "calendar/date_cursor.hpp"

namespace gironario {

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
    switch (c) {
        case '(':
        case '[':
        case '{':
        case ',':
        case ';':
        case '"':
        case '\'':
        case '|':
            return true;
        default:
            return is_white(c);
    }
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
    if (is_digit(cursor.peek())) {
        // No word before it.
    } else if (word("alle")) {
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

bool may_start_date_or_time(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    if (is_digit(text.front())) {
        // What may follow the digits: a separator of a date or a time ("5/9", "18.30", "18h00"),
        // the sign of the first ("1\xB0"), or blanks and a month's name ("5 settembre").
        std::size_t at = 0;
        while (at < text.size() && is_digit(text[at])) {
            ++at;
        }
        if (at == text.size()) {
            return false;
        }
        switch (text[at]) {
            case '/':
            case '.':
            case '-':
            case ':':
            case ',':
            case 'h':
            case '\xB0':
            case '\xC2':
                return true;
            default:
                break;
        }
        while (at < text.size() && is_blank(text[at])) {
            ++at;
        }
        return at < text.size() && at > 0 && is_blank(text[at - 1]) && is_letter(text[at]);
    }
    // Words bring a date or a time only as a weekday, "ore", "h" or "alle".
    switch (ascii_lower(text.front())) {
        case 'l':
        case 'm':
        case 'g':
        case 'v':
        case 's':
        case 'd':
        case 'o':
        case 'h':
        case 'a':
            break;
        default:
            return false;
    }
    std::size_t letters = 0;
    while (letters < text.size() && is_letter(text[letters])) {
        ++letters;
    }
    const std::string_view word = text.substr(0, letters);
    return !word.empty() && (is_weekday(word) || same_ignoring_case(word, "ore") ||
                             same_ignoring_case(word, "h") || same_ignoring_case(word, "alle"));
}

FoundDates find_dates(std::string_view text, const YearContext& context) {
    FoundDates found;
    std::size_t start = 0;
    while (start < text.size() && !(found.date && found.time)) {
        // Dates and times start with a digit or a word: bars and blanks are passed over at once.
        const char first = text[start];
        if ((start > 0 && !starts_after(text[start - 1])) ||
            !(is_digit(first) || is_letter(first)) || !may_start_date_or_time(text.substr(start))) {
            ++start;
            continue;
        }
        Cursor cursor(text);
        cursor.move_to(start);
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
                start = cursor.position();
                continue;
            }
        }
        if (!found.time) {
            if (const auto time = take_listed_time(cursor)) {
                found.time = time;
                found.time_span = {start, cursor.position()};
                start = cursor.position();
                continue;
            }
        }
        ++start;
    }
    return found;
}

}  // namespace gironario
