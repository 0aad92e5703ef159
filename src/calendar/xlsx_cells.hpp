#pragma once

// The texts of an Excel workbook's cells that are its own: ISO dates, escaped characters and
// cell references.

#include <cstddef>
#include <string>
#include <string_view>

namespace gironario::xlsx {

// An ISO 8601 date, time or both (a t="d" cell) as "dd/mm/yyyy", "hh:mm" or both, seconds
// dropped; empty when it is none.
std::string iso_text(std::string_view iso);

// Excel's escapes of characters that XML cannot hold, "_x000D_", and of an underscore that
// looks like one, "_x005F_"; only those of ASCII characters are undone.
std::string unescaped(std::string_view text);

// The column of a cell reference ("C7": 2), from 0; false when it names none.
bool column_of(std::string_view reference, std::size_t& column);

}  // namespace gironario::xlsx
