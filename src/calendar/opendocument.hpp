#pragma once

// Calendars saved by LibreOffice and the other OpenDocument programs: spreadsheets (.ods) read as
// sheets of cells, text documents (.odt) read as lines of text, both from the content.xml of
// their zip package.

#include <string>

#include "calendar/sheet.hpp"
#include "io/zip_archive.hpp"

namespace gironario {

// Whether the archive is an OpenDocument spreadsheet: its "mimetype" member says
// application/vnd.oasis.opendocument.spreadsheet.
bool is_ods(const ZipArchive& archive);

// Whether the archive is an OpenDocument text document: its "mimetype" member says
// application/vnd.oasis.opendocument.text.
bool is_odt(const ZipArchive& archive);

// Every table (sheet) of the spreadsheet's content.xml, in order, with its cells written as the
// sheet readers write them (sheet.hpp). False with `error` (Latin-1 Italian) when the package is
// damaged or encrypted, or a sheet is larger than the bounds; `out` is then empty.
bool read_ods(const ZipArchive& archive, Workbook& out, std::string& error);

// The document's text as UTF-8 lines, "\n" after each: each paragraph or heading a line, each
// table row a line with its cells' texts parted by tabs. A text:s gives its spaces, text:tab a
// tab, text:line-break a space. False with `error` when damaged; `text` is then empty.
bool read_odt_lines(const ZipArchive& archive, std::string& text, std::string& error);

}  // namespace gironario
