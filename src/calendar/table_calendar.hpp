#pragma once

// Calendars kept as spreadsheets and saved as .csv or .tsv: a federation's export, a club's own
// sheet. Each row under the header is a match, found by the names of its columns.

#include <string_view>

#include "calendar/sheet.hpp"
#include "calendar/source_reading.hpp"

namespace gironario {

// Reads the table in `bytes`: UTF-8 (a byte-order mark dropped) or else Windows-1252, rows ended
// by LF or CR LF, quoted as RFC 4180 says, ="..." cells read as their text; the separator is a
// tab when `tsv`, else whichever of ; , and tab splits the header into the most cells. The header
// is the first of the first ten rows that names a date column; rows above it are skipped. Every
// other row that is neither empty nor a rest day ("riposo") is a match, dated or told why not,
// in the file's order. A table with rows but no such header gives `error`; an empty one gives
// nothing.
SourceReading read_table(std::string_view bytes, bool tsv);

// The table of a workbook or a web page: the first sheet whose header (among its first ten rows)
// names a date column, read by the same rules; a workbook with rows but no such sheet gives
// `error`.
SourceReading read_workbook(const Workbook& book);

// Whether one of the first ten lines of `head` is a table's header: it names a date column and
// splits into three or more cells at ;, , or tabs.
bool has_table_header(std::string_view head);

}  // namespace gironario
