#pragma once

// Calendars published as web pages: a federation's results page saved from the browser, a
// spreadsheet saved "as web page". Every <table> is read as a browser lays it out, leniently, with
// its cells written as the sheet readers write them (sheet.hpp).

#include <cstddef>
#include <string>
#include <string_view>

#include "calendar/sheet.hpp"

namespace gironario {

// How much a page may hold before read_html_tables() refuses it. The defaults are the program's;
// the tests and the fuzz target take smaller ones, to reach every bound cheaply.
struct HtmlTableLimits {
    std::size_t page_bytes = std::size_t{256} << 20;  // the page itself
    std::size_t tables = 10'000;                      // tables of the page, nested ones too
    std::size_t rows = 1'048'576;                     // rows of one table
    std::size_t columns = 16'384;                     // columns of one table
    std::size_t cells = 50'000'000;                   // cells of all tables, empty ones too
    // Text the cells may hold beyond three bytes for each byte of the page (what decoding can
    // make of it): the text that rowspans repeat in the rows below.
    std::size_t spanned_text_bytes = std::size_t{64} << 20;
};

// Every <table> of a web page, each a Sheet, in the order their start tags come (a table inside
// another's cell is a sheet of its own, and its text is not part of the outer cell); false with
// `error` when the page cannot be read at all (it never is for mere sloppy HTML). A sheet is named
// by the text of its table's first <caption>, if any.
bool read_html_tables(std::string_view page, Workbook& out, std::string& error);

// The same within `limits`: false with `error` (Latin-1 Italian) when the page goes past one of
// them; `out` is then empty.
bool read_html_tables(std::string_view page, Workbook& out, std::string& error,
                      const HtmlTableLimits& limits);

}  // namespace gironario
