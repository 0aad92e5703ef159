#pragma once

// A workbook as the readers' tests write it: "[sheet]", then "ROW: cell|cell|..." for each row.

#include <string>

#include "calendar/sheet.hpp"

namespace gironario::testing {

inline std::string sheet_text(const Workbook& book) {
    std::string text;
    for (const Sheet& sheet : book.sheets) {
        text += "[" + sheet.name + "]\n";
        for (const SheetRow& row : sheet.rows) {
            text += std::to_string(row.number) + ":";
            for (std::size_t i = 0; i < row.cells.size(); ++i) {
                text += (i == 0 ? " " : "|") + row.cells[i];
            }
            text += "\n";
        }
    }
    return text;
}

}  // namespace gironario::testing
