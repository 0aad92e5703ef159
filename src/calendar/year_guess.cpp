#include "calendar/year_guess.hpp"

#include "calendar/calendar_line.hpp"

namespace gironario {

ShapeCounts count_shapes(LineReader& lines) {
    ShapeCounts counts;
    int number_offset = 0;
    while (lines.next()) {
        const std::string_view line = lines.line();
        if (!is_match_line(line)) {
            continue;
        }
        number_offset = detect_number_offset(line, number_offset);
        ++counts.match_lines;
        counts.two_digit += has_shape(line, number_offset, 2) ? 1 : 0;
        counts.four_digit += has_shape(line, number_offset, 4) ? 1 : 0;
    }
    return counts;
}

std::optional<int> guess_year_digits(const ShapeCounts& counts) {
    // With no line in its columns either way, no line depends on the answer: lines typed out of
    // their columns are read by their own years.
    if (counts.match_lines == 0 || (counts.two_digit == 0 && counts.four_digit == 0)) {
        return 2;
    }
    if (counts.two_digit == counts.four_digit) {
        return std::nullopt;
    }
    return counts.two_digit > counts.four_digit ? 2 : 4;
}

}  // namespace gironario
