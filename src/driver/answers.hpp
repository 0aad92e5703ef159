#pragma once

#include <istream>
#include <optional>
#include <string_view>

namespace gironario {

// The formats of the merged calendar; the dialogue offers the first four.
enum class Format { text, word, spreadsheet, web_page, icalendar, page };

// The format a letter of the format question stands for: t, w, x or h, in either case.
std::optional<Format> parse_format(char letter);

// The year digits of an answer to a year question: 2 or 4 are accepted.
std::optional<int> parse_year_digits(long long answer);

// What reading one character or one number from the console found.
struct Answer {
    enum class Kind { value, not_a_number, end } kind;
    long long value = 0;
};

// Reads one character.
Answer read_character(std::istream& in);

// Reads a whole number the way scanf's "%d" does: leading white space, line feeds included, is
// skipped, then an optional sign and the digits. Anything else is left in the input (a sign
// before it is consumed). Numbers too large to hold are kept at the largest value.
Answer read_number(std::istream& in);

}  // namespace gironario
