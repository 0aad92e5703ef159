#pragma once

// A table as the readers of workbooks, web pages and text tables give it: rows of cells, each
// cell the text the sheet shows, in UTF-8. The table rules (table_calendar.hpp) find the header
// and the matches in it, whatever kind of file it came from.

#include <string>
#include <vector>

namespace gironario {

struct SheetRow {
    long long number = 0;            // where the row stands in its file: a sheet's row, a line
    std::vector<std::string> cells;  // UTF-8; a missing cell is an empty string
};

struct Sheet {
    std::string name;  // the sheet's own name, UTF-8; empty where the file has none
    std::vector<SheetRow> rows;
};

// Every sheet of a workbook, in the workbook's order.
struct Workbook {
    std::vector<Sheet> sheets;
};

}  // namespace gironario
