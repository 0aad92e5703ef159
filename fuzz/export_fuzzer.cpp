// Turns a merged text from the fuzz input into a spreadsheet or a web page and checks that the
// table has one row per line of the text up to its last match line, each row made of that line.
//
// Input: four bytes of settings, then the merged text. The first byte chooses the table and the
// number of match lines the export is told (the text's own count, or fewer, or more, as when
// temp.txt was changed under the program); the others choose the buffer sizes and a fault: a
// full output or a read error after part of the text.

#include <cerrno>
#include <cstdint>
#include <string>

#include "export/table_export.hpp"
#include "fuzz_support.hpp"
#include "io/byte_stream.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

constexpr std::size_t none = StringInput::npos;

struct Result {
    std::string text;
    bool written;
    bool read_failed;
};

Result run_export(Table kind, std::string_view merged, long long matches, std::size_t reader_size,
                  std::size_t writer_size, std::size_t output_capacity, std::size_t fail_after) {
    Result result;
    StringInput input{std::string(merged), fail_after, EIO};
    StringOutput output(result.text, output_capacity);
    LineReader reader(input, reader_size);
    LineWriter writer(output, writer_size);
    export_table(kind == Table::spreadsheet ? TableKind::spreadsheet : TableKind::web_page, reader,
                 matches, writer);
    result.written = writer.close();
    result.read_failed = reader.failed();
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const Table kind = (data[0] & 1u) != 0 ? Table::web_page : Table::spreadsheet;
    const std::size_t reader_size = reader_capacity(data[1]);
    const std::size_t writer_size = writer_capacity(data[2]);
    const unsigned char fault = data[3];
    const std::string_view merged(reinterpret_cast<const char*>(data) + 4, size - 4);

    long long match_lines = 0;
    for (std::string_view line : lines_of(merged)) {
        match_lines += !line.empty();
    }
    const long long shift = data[0] >> 3;
    const long long told = (data[0] & 6u) == 4   ? match_lines - shift
                           : (data[0] & 6u) == 6 ? match_lines + shift
                                                 : match_lines;

    const std::string expected = expected_table(kind, merged, told);
    const Result made = run_export(kind, merged, told, reader_size, writer_size, none, none);
    require(made.written && !made.read_failed, "an export without faults reported one");
    require(made.text == expected, "the table differs from the rows of the merged text");

    if (fault < 0x40) {
        return 0;
    }
    if (fault < 0x80) {
        const std::size_t capacity = expected.size() * (fault & 0x3Fu) / 64;
        const Result cut_short =
            run_export(kind, merged, told, reader_size, writer_size, capacity, none);
        require(cut_short.text == expected.substr(0, capacity),
                "a full output holds other than the start of the table");
        require(cut_short.written == (capacity >= expected.size()),
                "a full output went unreported, or a fitting one was reported");
        return 0;
    }
    // A read error ends the rows early; the rows that came before it are rows of the text, unless
    // it cut a line that was being copied piece by piece.
    const std::size_t fail_after = merged.size() * (fault & 0x7Fu) / 128;
    const Result failed =
        run_export(kind, merged, told, reader_size, writer_size, none, fail_after);
    if (failed.read_failed && longest_line(merged) < reader_size) {
        const std::string_view after =
            kind == Table::web_page ? "\n</TABLE>\n</BODY>\n</HTML>" : "";
        const std::string_view rows(failed.text.data(), failed.text.size() - after.size());
        require(expected.compare(0, rows.size(), rows) == 0,
                "a read error altered the rows before it");
    }
    return 0;
}
