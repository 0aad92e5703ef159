#pragma once

// Excel workbooks (.xlsx, .xlsm): every worksheet read into rows of the texts its cells show,
// dates and times written as the table rules read them.

#include <cstddef>
#include <string>

#include "calendar/sheet.hpp"
#include "io/zip_archive.hpp"

namespace gironario {

// Most cells a workbook may give, the empty ones that keep later cells in their columns
// included: about a hundred megabytes of strings.
inline constexpr std::size_t XLSX_CELL_LIMIT = std::size_t{1} << 22;
// Most bytes of text all the cells of a workbook may hold together, as a cell may repeat a
// shared string of any length.
inline constexpr std::size_t XLSX_TEXT_LIMIT = std::size_t{64} << 20;

// Whether the archive is an Excel workbook (.xlsx, .xlsm: it holds xl/workbook.xml).
bool is_xlsx(const ZipArchive& archive);

// Reads every worksheet of the workbook, in the workbook's order (xl/workbook.xml's <sheets>,
// each found through xl/_rels/workbook.xml.rels); false, with `error`, when the workbook is
// damaged.
bool read_xlsx(const ZipArchive& archive, Workbook& out, std::string& error);

}  // namespace gironario
