#pragma once

// Workbooks saved by Excel 97 to 2003 (.xls): the BIFF8 records of the "Workbook" stream in a
// compound file, read into the same rows of cell texts as every other kind of sheet.

#include <string>

#include "calendar/sheet.hpp"
#include "io/compound_file.hpp"

namespace gironario {

// Reads the worksheets of an Excel 97-2003 workbook (the "Workbook" stream of `file`), in the
// workbook's order; false with `error` when the workbook is damaged, or is older than Excel 97
// (a "Book" stream, BIFF5 and before: say so, and tell to save it again as .xlsx or .csv).
bool read_xls(const CompoundFile& file, Workbook& out, std::string& error);

// The text a cell shows for the serial number `serial` of a date, a time or both, as "dd/mm/yyyy",
// "hh:mm" or "dd/mm/yyyy hh:mm", counted from 1900 (with Excel's 29/02/1900) or from 1904; empty
// when the serial is no moment between 1900 (or 1904) and 9999.
std::string xls_serial_text(double serial, bool from_1904);

}  // namespace gironario
