#pragma once

// The rows of OpenDocument tables as they are read, cell by cell, with the repeat counts that
// stand one row or cell for many.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/xml_reader.hpp"

namespace gironario::odf {

// The widest sheet the spreadsheet programs make.
inline constexpr std::size_t COLUMN_LIMIT = 16384;

// How many times the row or cell just started stands for itself, by its `attribute`: 1 when the
// attribute is absent or makes no sense, as the spreadsheet programs read it.
std::size_t repeat_count(const XmlReader& xml, std::string_view attribute);

// Whether `times` more pieces of `each` bytes (or cells) still fit under `limit` after `used`;
// written without a product, which could overflow.
bool fits(std::size_t used, std::size_t each, std::size_t times, std::size_t limit);

// Whether the element `name` is a table's cell, a covered one (under a merged cell) included.
bool is_cell(std::string_view name);

// The cells of one row as they are read. Empty cells are only counted until a cell with text
// follows, so that the empty columns LibreOffice repeats to the sheet's edge cost nothing.
class RowCells {
  public:
    enum class Added { ok, past_last_column, too_much_text };

    void clear();

    // A cell of `text`, `repeat` times, the row's text kept within `text_limit` bytes.
    Added add(const std::string& text, std::size_t repeat, std::size_t text_limit);

    const std::vector<std::string>& cells() const { return cells_; }
    std::size_t text_size() const { return text_size_; }

  private:
    std::vector<std::string> cells_;
    std::size_t empty_ = 0;
    std::size_t text_size_ = 0;
};

}  // namespace gironario::odf
