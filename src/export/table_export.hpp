#pragma once

#include "calendar/line_reader.hpp"
#include "calendar/line_writer.hpp"

namespace gironario {

enum class TableKind { spreadsheet, web_page };

// Turns merged text into a table: every line up to the last match line becomes a row, and the
// first four spaces of a line become field boundaries (number, date, time, place, match). The
// spreadsheet is tab-separated text whose rows start with their number; the web page is an HTML
// table with a title row. `matches` is the number of match lines in the merged text.
//
// Stops early when a read or a write fails: the caller asks the reader and the writer.
void export_table(TableKind kind, LineReader& merged, long long matches, LineWriter& out);

}  // namespace gironario
