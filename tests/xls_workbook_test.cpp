#include "calendar/xls_workbook.hpp"

#include <gtest/gtest.h>

#include "sheet_text.hpp"

#include <string>
#include <string_view>

#include "io/compound_file.hpp"

namespace gironario {
namespace {

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

// The files made by tests/fixtures/xls/make_fixtures.py: each readable one beside what xlrd
// reads of it, the damaged ones with their errors.
TEST(XlsWorkbook, Fixtures) {
    const auto expected = [](const std::string& name) {
        return testing::fixture_file("xls/" + name + ".expected");
    };
    const std::string office = "error: il file \xE8 un documento di Office danneggiato: ";
    const std::string workbook = "error: la cartella di lavoro \xE8 danneggiata: ";
    const std::string old =
        "error: la cartella di lavoro \xE8 di Excel 95 o precedente, che non si legge: aprila in "
        "Excel e salvala di nuovo come .xlsx o .csv";
    const struct {
        std::string_view fixture;
        std::string expected;
    } cases[] = {
        {"calendar", expected("calendar")},
        {"long", expected("long")},
        {"sectors_4096", expected("sectors_4096")},
        {"mini_stream", expected("mini_stream")},
        {"continued_strings", expected("continued_strings")},
        {"difat_sector", expected("difat_sector")},
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
        EXPECT_EQ(read_text(testing::fixture_file("xls/" + std::string(c.fixture) + ".xls")),
                  c.expected)
            << c.fixture;
    }
    EXPECT_EQ(read_text("PK\x03\x04"),
              "error: il file non \xE8 un documento di Office 97-2003: manca l'intestazione OLE2");
}

}  // namespace
}  // namespace gironario
