#pragma once

// Finding a calendar's year digits from its lines, for a user who would rather not count them.

#include <optional>

#include "io/line_reader.hpp"

namespace gironario {

// A calendar's match lines, and how many of them have their date and time where the merge reads
// them when the year is taken as two digits, and as four.
struct ShapeCounts {
    long long match_lines = 0;
    long long two_digit = 0;
    long long four_digit = 0;
};

// Reads `lines` to the end, one line at a time, with the number offsets worked out as the merge
// does. The caller asks the reader whether reading failed.
ShapeCounts count_shapes(LineReader& lines);

// The year digits that fit more match lines: 2 or 4; 2 for a calendar where no match line fits
// either (none depends on the answer); nothing when both fit as many.
std::optional<int> guess_year_digits(const ShapeCounts& counts);

}  // namespace gironario
