#include "calendar/xls_workbook.hpp"

#include <gtest/gtest.h>

#include "sheet_text.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <string>
#include <string_view>

#include "io/compound_file.hpp"

namespace gironario {
namespace {

// The files made by tests/fixtures/xls/make_fixtures.py, beside this test.
const std::filesystem::path folder =
    std::filesystem::path(__FILE__).parent_path() / "fixtures" / "xls";

std::string file_bytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string fixture_bytes(std::string_view name) {
    return file_bytes(folder / (std::string(name) + ".xls"));
}

// The workbook in `bytes` printed as make_fixtures.py prints what xlrd reads, or its error.
std::string read_text(std::string_view bytes) {
    CompoundFile file;
    Workbook book;
    std::string error;
    if (!file.open(bytes, error) || !read_xls(file, book, error)) {
        EXPECT_TRUE(book.sheets.empty());
        return "error: " + error;
    }
    return testing::sheet_text(book);
}

TEST(XlsWorkbook, ReadsWhatXlrdReads) {
    int read = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::path expected = entry.path();
        if (expected.extension() == ".expected") {
            ++read;
            EXPECT_EQ(read_text(file_bytes(expected.replace_extension(".xls"))),
                      file_bytes(entry.path()))
                << entry.path();
        }
    }
    EXPECT_EQ(read, 6);
}

TEST(XlsWorkbook, DamagedFiles) {
    const std::string office = "error: il file \xE8 un documento di Office danneggiato: ";
    const std::string workbook = "error: la cartella di lavoro \xE8 danneggiata: ";
    const std::string old =
        "error: la cartella di lavoro \xE8 di Excel 95 o precedente, che non si legge: aprila in "
        "Excel e salvala di nuovo come .xlsx o .csv";
    const struct {
        std::string_view fixture;
        std::string expected;
    } cases[] = {
        {"fat_loop", office + "una catena di settori gira in tondo"},
        {"sector_past_end", office + "un settore \xE8 oltre la fine del file"},
        {"directory_id_out_of_range",
         office + "l'elenco dei flussi rimanda a una voce che non c'\xE8"},
        {"stream_longer_than_chain", office + "un flusso \xE8 pi\xF9 corto di quanto dichiara"},
        {"cut_header", office + "l'intestazione \xE8 incompleta"},
        {"sst_count_too_large",
         workbook + "la tabella dei testi (SST) dichiara pi\xF9 testi di quanti ne contiene"},
        {"biff5_book", old},
        {"biff5_workbook", old},
        {"encrypted",
         "error: la cartella di lavoro \xE8 protetta da una password: aprila in Excel e salvala "
         "di nuovo senza password"},
        {"no_workbook",
         "error: il file non \xE8 una cartella di lavoro di Excel: manca il flusso Workbook"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_text(fixture_bytes(c.fixture)), c.expected) << c.fixture;
    }
    EXPECT_EQ(read_text("PK\x03\x04"),
              "error: il file non \xE8 un documento di Office 97-2003: manca l'intestazione OLE2");
}

TEST(XlsWorkbook, SerialTexts) {
    const struct {
        double serial;
        bool from_1904;
        std::string_view expected;
    } cases[] = {
        {1, false, "01/01/1900"},
        {59, false, "28/02/1900"},
        {60, false, "29/02/1900"},
        {61, false, "01/03/1900"},
        {46299, false, "04/10/2026"},
        {46299.78125, false, "04/10/2026 18:45"},
        {46299.99999, false, "05/10/2026"},  // rounds into the next day
        {0.5, false, "12:00"},
        {0, false, "00:00"},
        {2958465.5, false, "31/12/9999 12:00"},
        {2958466, false, ""},
        {-1, false, ""},
        {0, true, "00:00"},
        {1, true, "02/01/1904"},
        {44837, true, "04/10/2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(xls_serial_text(c.serial, c.from_1904), c.expected) << c.serial;
    }
}

}  // namespace
}  // namespace gironario
