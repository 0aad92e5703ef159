#include "calendar/calendar_line.hpp"

#include <algorithm>
#include <climits>

namespace gironario {

int detect_width(std::string_view line, int previous) {
    auto space_at = [&](std::size_t position) {
        return position < line.size() && line[position] == ' ';
    };
    if (space_at(3)) {
        return 0;
    }
    if (space_at(2)) {
        return 1;
    }
    if (space_at(1)) {
        return 2;
    }
    // A number of four digits or more: all digits up to the first space.
    const auto digits = static_cast<std::size_t>(
        std::find_if_not(line.begin(), line.end(), is_digit) - line.begin());
    if (digits >= 4 && space_at(digits) && digits <= INT_MAX - 3) {
        return 3 - static_cast<int>(digits);
    }
    return previous;
}

int key_value(std::string_view line, std::size_t position) {
    if (position < line.size()) {
        return static_cast<signed char>(line[position]);
    }
    return position == line.size() ? '\n' : SCHAR_MIN - 1;
}

MatchKeys match_keys(std::string_view line, int width, int year_offset) {
    // The minute's units stand last: a line that reaches them, as every well-formed line does,
    // holds all ten keys, and their values are its bytes.
    const bool holds_every_key = key_position(KEY_CHARACTERS - 1, width, year_offset) < line.size();
    // Each key takes nine bits, room for all its 257 values: the 256 bytes and the place past
    // the line feed, lowest of all. Keys placed one after the other, the first one highest, order
    // two lines as their first differing key does.
    const auto key = [&](int number) {
        const std::size_t position = key_position(number, width, year_offset);
        const int value =
            holds_every_key ? static_cast<signed char>(line[position]) : key_value(line, position);
        return static_cast<std::uint64_t>(value - (SCHAR_MIN - 1));
    };
    static_assert(FIRST_TIME_KEY == 6 && KEY_CHARACTERS == 10, "six date keys and four time keys");
    MatchKeys keys;
    keys.date = key(0) << 45 | key(1) << 36 | key(2) << 27 | key(3) << 18 | key(4) << 9 | key(5);
    keys.time = key(6) << 27 | key(7) << 18 | key(8) << 9 | key(9);
    return keys;
}

}  // namespace gironario
