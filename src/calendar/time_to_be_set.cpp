#include "calendar/time_to_be_set.hpp"

#include <array>

#include "calendar/calendar_line.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

constexpr std::array<std::string_view, 4> to_be_set_words = {"da definire", "da stabilire", "tbd",
                                                             "-"};

// The words of `text` from `from` on that say the time is not set yet, as the length they take;
// 0 when they say anything else. They end at white space or at the end of the text.
std::size_t to_be_set_length(std::string_view text, std::size_t from) {
    for (const std::string_view words : to_be_set_words) {
        const std::size_t end = from + words.size();
        if (end <= text.size() && same_ignoring_case(text.substr(from, words.size()), words) &&
            (end == text.size() || is_white(text[end]))) {
            return words.size();
        }
    }
    return 0;
}

// The two-digit number at `at`, when both digits are there.
std::optional<int> two_digits(std::string_view line, std::size_t at) {
    if (at + 2 > line.size() || !is_digit(line[at]) || !is_digit(line[at + 1])) {
        return std::nullopt;
    }
    return (line[at] - '0') * 10 + (line[at + 1] - '0');
}

}  // namespace

bool says_time_to_be_set(std::string_view text) {
    text = trimmed(text, true);
    return !text.empty() && to_be_set_length(text, 0) == text.size();
}

std::optional<DayOnlyLine> read_day_only_line(std::string_view line, int number_offset,
                                              int year_digits) {
    const int offset = year_offset(year_digits);
    const auto day = two_digits(line, key_position(4, number_offset, offset));
    const auto month = two_digits(line, key_position(2, number_offset, offset));
    const auto year = two_digits(line, key_position(0, number_offset, offset));
    std::optional<int> century = 0;
    if (year_digits == 4) {
        century = two_digits(line, century_position(number_offset));
    }
    if (!day || !month || !year || !century) {
        return std::nullopt;
    }
    const Date date{year_digits == 4 ? *century * 100 + *year : full_year(*year, 2), *month, *day};
    std::size_t at = key_position(1, number_offset, offset) + 1;
    if (!exists(date) || at >= line.size() || !is_white(line[at])) {
        return std::nullopt;
    }
    while (at < line.size() && is_white(line[at])) {
        ++at;
    }
    const std::size_t length = to_be_set_length(line, at);
    if (length == 0) {
        return std::nullopt;
    }
    return DayOnlyLine{date, at + length};
}

}  // namespace gironario
