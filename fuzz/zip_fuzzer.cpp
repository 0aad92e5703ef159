// Opens the input as a zip archive and reads every member, then reads it as a workbook and as
// a document, checking what the readers promise whatever the bytes: a refusal always says why,
// a member read is within its limit or an error, never both, and a workbook or a document is
// either read, within the sheet bounds, or refused with nothing kept.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/docx_text.hpp"
#include "calendar/xlsx_workbook.hpp"
#include "fuzz_support.hpp"
#include "io/zip_archive.hpp"

namespace {

constexpr std::size_t LIMIT = std::size_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace gironario;
    using fuzz::require;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ZipArchive archive;
    std::string error;
    if (!archive.open(bytes, error)) {
        require(!error.empty(), "open() refused without a reason");
        require(archive.names().empty(), "a refused archive with names");
        return 0;
    }
    require(archive.names().size() <= size / 46, "more names than the directory can hold");
    for (const std::string& name : archive.names()) {
        require(archive.has(name), "a listed name that has() denies");
        std::string out;
        error.clear();
        if (archive.read(name, out, error, LIMIT)) {
            require(out.size() <= LIMIT && error.empty(), "a read past its limit or with an error");
        } else {
            require(out.empty() && !error.empty(), "a refused read with bytes, or no reason");
        }
    }

    Workbook workbook;
    error.clear();
    if (read_xlsx(archive, workbook, error)) {
        require(error.empty() && !workbook.sheets.empty(), "a workbook read with an error");
        std::size_t cells = 0;
        for (const Sheet& sheet : workbook.sheets) {
            require(sheet.rows.size() <= 1048576, "more rows than a sheet has");
            for (const SheetRow& row : sheet.rows) {
                require(row.number >= 1 && row.number <= 1048576, "a row number out of the sheet");
                require(
                    !row.cells.empty() && row.cells.size() <= 16384 && !row.cells.back().empty(),
                    "a row empty, too wide or ending in an empty cell");
                cells += row.cells.size();
            }
        }
        require(cells <= XLSX_CELL_LIMIT, "more cells than the bound");
    } else {
        require(!error.empty() && workbook.sheets.empty(), "a refused workbook with cells");
    }

    std::string text;
    error.clear();
    if (read_docx_lines(archive, text, error)) {
        require(error.empty() && (text.empty() || text.back() == '\n'),
                "a document read with an error, or ending inside a line");
    } else {
        require(!error.empty() && text.empty(), "a refused document with text");
    }
    return 0;
}
