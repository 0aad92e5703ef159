#include "calendar/calendar_line.hpp"

#include <algorithm>
#include <climits>

namespace gironario {

int detect_long_number_offset(std::string_view line, int previous) {
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

}  // namespace gironario
