#pragma once

// How text goes into an iCalendar file: a calendar line's bytes read as UTF-8 or Windows-1252,
// made into an escaped text value, and content lines folded within 75 octets.

#include <cstddef>
#include <string>
#include <string_view>

#include "io/line_writer.hpp"
#include "io/text.hpp"

namespace gironario {

// The longest content line, or piece of a folded one, in octets without its CR LF.
inline constexpr std::size_t ICS_LINE_OCTETS = 75;

// Appends `bytes` to `value` as an iCalendar text value in UTF-8, read as append_text() reads
// them, with backslash, comma and semicolon escaped.
void append_text_value(std::string& value, std::string_view bytes, bool utf8);

// A text value of an iCalendar file (UTF-8, escaped) as Latin-1 text for the console: escapes
// undone, a line break as a space, characters past U+00FF as '?'.
std::string latin1_of_text_value(std::string_view value);

// Writes one content line, NAME:VALUE in UTF-8, ended by CR LF and folded so that no piece passes
// ICS_LINE_OCTETS octets: each piece after the first starts with a space, and no character is
// split between two pieces.
void write_content_line(LineWriter& out, std::string_view line);

}  // namespace gironario
