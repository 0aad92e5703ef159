#include "calendar/odf_rows.hpp"

#include <algorithm>
#include <optional>

#include "calendar/odf_paragraphs.hpp"

namespace gironario::odf {

std::size_t repeat_count(const XmlReader& xml, std::string_view attribute) {
    const std::string* value = xml.attribute(attribute);
    const auto count = value ? read_count(*value) : std::nullopt;
    return count && *count > 0 ? *count : 1;
}

bool fits(std::size_t used, std::size_t each, std::size_t times, std::size_t limit) {
    return used <= limit && (each == 0 || times <= (limit - used) / each);
}

bool is_cell(std::string_view name) {
    return name == "table:table-cell" || name == "table:covered-table-cell";
}

void RowCells::clear() {
    cells_.clear();
    empty_ = 0;
    text_size_ = 0;
}

RowCells::Added RowCells::add(const std::string& text, std::size_t repeat, std::size_t text_limit) {
    if (text.empty()) {
        empty_ = std::min(empty_ + repeat, COLUMN_LIMIT + 1);
        return Added::ok;
    }
    if (cells_.size() + empty_ + repeat > COLUMN_LIMIT) {
        return Added::past_last_column;
    }
    if (!fits(text_size_, text.size(), repeat, text_limit)) {
        return Added::too_much_text;
    }
    cells_.resize(cells_.size() + empty_);
    empty_ = 0;
    cells_.insert(cells_.end(), repeat, text);
    text_size_ += text.size() * repeat;
    return Added::ok;
}

}  // namespace gironario::odf
