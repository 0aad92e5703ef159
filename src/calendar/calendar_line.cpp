#include "calendar/calendar_line.hpp"

#include <algorithm>
#include <climits>

namespace gironario {

int detect_number_offset(std::string_view line, int previous) {
    const auto space_at = [&](std::size_t position) {
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

std::optional<ColumnDate> read_columns(std::string_view line, int number_offset, int year_digits) {
    const int offset = year_offset(year_digits);
    bool digits = true;
    // The two digits of a field whose tens stand at `position`.
    const auto two_digits = [&](std::size_t position) {
        if (position + 1 >= line.size() || !is_digit(line[position]) ||
            !is_digit(line[position + 1])) {
            digits = false;
            return 0;
        }
        return (line[position] - '0') * 10 + (line[position + 1] - '0');
    };
    const auto field = [&](int first_key) {
        return two_digits(key_position(first_key, number_offset, offset));
    };
    ColumnDate date;
    date.year = field(0);
    date.month = field(2);
    date.day = field(4);
    date.hour = field(6);
    date.minute = field(8);
    if (year_digits == 4) {
        date.year += 100 * two_digits(century_position(number_offset));
    }
    if (!digits) {
        return std::nullopt;
    }
    return date;
}

}  // namespace gironario
