// Reads the fuzz input as a compound file and the Excel 97-2003 workbook in it, and checks what
// any reading must be, whatever the bytes: a failure always says why, in a one-line message, and
// leaves no sheet; a workbook's rows are numbered upwards within each sheet, from 1, with at most
// 16,384 cells, the last of them not empty; every cell is valid UTF-8 without white space at its
// ends; and the whole is bounded by the input (the stream that the workbook comes from is no
// longer than the file).
//
// Input: the file's bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/xls_workbook.hpp"
#include "fuzz_support.hpp"
#include "io/compound_file.hpp"
#include "io/text.hpp"

namespace {

using namespace gironario;
using fuzz::require;

bool is_message(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
}

void check_workbook(const Workbook& book, std::size_t input_size) {
    std::size_t text = 0;
    std::size_t cells = 0;
    for (const Sheet& sheet : book.sheets) {
        require(is_utf8(sheet.name), "a sheet's name is not UTF-8");
        long long previous = 0;
        for (const SheetRow& row : sheet.rows) {
            require(row.number > previous && row.number <= 65536, "rows out of order");
            previous = row.number;
            require(!row.cells.empty() && row.cells.size() <= 16384, "a row's width");
            require(!row.cells.back().empty(), "a row ends with an empty cell");
            for (const std::string& cell : row.cells) {
                require(is_utf8(cell), "a cell is not UTF-8");
                require(trimmed(cell, true).size() == cell.size(), "a cell is not trimmed");
                text += cell.size();
            }
            cells += row.cells.size();
        }
    }
    const std::size_t bound = 64 * input_size + 65536;
    require(text <= bound && cells <= bound, "the workbook grew past its bound");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CompoundFile file;
    std::string error;
    if (!file.open(bytes, error)) {
        require(is_message(error), "open failed without a message");
        return 0;
    }
    std::string stream;
    error.clear();
    if (file.read_stream("Workbook", stream, error)) {
        require(stream.size() <= size, "a stream longer than the file");
    } else {
        require(is_message(error) && stream.empty(), "a stream failed without a message");
    }
    Workbook book;
    error.clear();
    if (!read_xls(file, book, error)) {
        require(is_message(error), "read_xls failed without a message");
        require(book.sheets.empty(), "read_xls failed but left sheets");
        return 0;
    }
    check_workbook(book, size);
    return 0;
}
