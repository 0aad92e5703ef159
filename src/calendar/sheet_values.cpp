#include "calendar/sheet_values.hpp"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "io/text.hpp"

namespace gironario {

namespace {

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

Shown shown_by_builtin_format(unsigned long long id) {
    if (id >= 14 && id <= 17) {
        return Shown::date;
    }
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) {
        return Shown::time;
    }
    return id == 22 ? Shown::date_time : Shown::number;
}

Shown shown_by_format_code(std::string_view code) {
    bool date = false;
    bool hours = false;
    bool minutes_or_months = false;
    bool seconds = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = ascii_lower(code[i]);
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            i = close == std::string_view::npos ? code.size() : close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            const std::string_view inside =
                code.substr(i + 1, close == std::string_view::npos ? close : close - i - 1);
            const char first = inside.empty() ? '\0' : ascii_lower(inside[0]);
            if ((first == 'h' || first == 'm' || first == 's') &&
                std::all_of(inside.begin(), inside.end(),
                            [&](char k) { return ascii_lower(k) == first; })) {
                hours = hours || first == 'h';
                minutes_or_months = minutes_or_months || first == 'm';
                seconds = seconds || first == 's';
            }
            i = close == std::string_view::npos ? code.size() : close;
        } else if (same_ignoring_case(code.substr(i, 5), "am/pm")) {
            i += 4;
        } else if (same_ignoring_case(code.substr(i, 3), "a/p")) {
            i += 2;
        } else if (c == 'd' || c == 'y') {
            date = true;
        } else if (c == 'h') {
            hours = true;
        } else if (c == 'm') {
            minutes_or_months = true;
        } else if (c == 's') {
            seconds = true;
        }
    }
    // An m beside hours or seconds is minutes; alone, or beside a day or a year, months.
    const bool shows_date = date || (minutes_or_months && !hours && !seconds);
    const bool shows_time = hours || (minutes_or_months && seconds);
    if (shows_date && shows_time) {
        return Shown::date_time;
    }
    return shows_date ? Shown::date : shows_time ? Shown::time : Shown::number;
}

std::string day_text(int year, int month, int day) {
    char text[40];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month, year);
    return text;
}

std::string clock_text(int minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

std::string serial_text(double serial, Shown shown, bool from_1904) {
    using namespace std::chrono;
    // The first day after the last that Excel counts, 31/12/9999.
    const long long days_limit = from_1904 ? 2957004 : 2958466;
    if (!(serial >= 0) || serial >= static_cast<double>(days_limit)) {
        return {};
    }
    // The minute is rounded first, so that a moment a few seconds before midnight is shown as
    // the next day's.
    const long long minutes = std::llround(serial * 1440);
    const long long day = minutes / 1440;
    const int minute = static_cast<int>(minutes % 1440);
    if (day >= days_limit) {
        return {};
    }
    if (day == 0 || shown == Shown::time) {
        return clock_text(minute);
    }
    // Excel counts 1900 as a leap year, as Lotus 1-2-3 did: day 60 is a 29 February that never
    // was, and the days before it are one off the count of those after.
    std::string date = "29/02/1900";
    if (from_1904 || day != 60) {
        const sys_days start = from_1904  ? sys_days{1904y / 1 / 1}
                               : day < 60 ? sys_days{1899y / 12 / 31}
                                          : sys_days{1899y / 12 / 30};
        const year_month_day moment{start + days{day}};
        date = day_text(static_cast<int>(moment.year()), static_cast<int>(unsigned{moment.month()}),
                        static_cast<int>(unsigned{moment.day()}));
    }
    if (shown != Shown::date_time && minute == 0) {
        return date;
    }
    return date + " " + clock_text(minute);
}

std::string number_text(double value, Notation notation) {
    if (value == 0) {
        return "0";  // not "-0"
    }
    // The longest fixed form of a double: 309 digits before the point, or 324 after it.
    char text[400];
    const bool whole = std::isfinite(value) && value == std::floor(value);
    const auto written =
        whole || notation == Notation::fixed
            ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed)
            : std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

std::optional<double> number_value(std::string_view text) {
    text = trimmed(text, true);
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> number_text(std::string_view text) {
    text = trimmed(text, true);
    std::string_view digits = text;
    const bool negative = digits.starts_with('-');
    if (negative || digits.starts_with('+')) {
        digits.remove_prefix(1);
    }
    if (all_digits(digits)) {
        // A long code typed as a number keeps the digits it was written with, more than a
        // double holds.
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
        return (negative && digits != "0" ? "-" : "") + std::string(digits);
    }
    const std::optional<double> value = number_value(text);
    if (!value) {
        return std::nullopt;
    }
    return number_text(*value, Notation::fixed);
}

}  // namespace gironario
