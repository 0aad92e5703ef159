#include "calendar/xlsx_workbook.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calendar/docx_text.hpp"
#include "calendar/sheet_values.hpp"
#include "calendar/xls_workbook.hpp"
#include "fixtures/zip_builder.hpp"
#include "sheet_text.hpp"

namespace gironario {
namespace {

std::string escaped(std::string_view text) {
    std::string result;
    for (const char c : text) {
        result += c == '\\' ? "\\\\" : c == '|' ? "\\|" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return result;
}

// A workbook as make_xlsx_fixtures.py writes what openpyxl reads: "[sheet]", then each row's
// number and cells parted by '|'; or the error.
std::string dump(std::string_view bytes) {
    ZipArchive archive;
    std::string error;
    Workbook workbook;
    if (!archive.open(bytes, error) || !is_xlsx(archive) || !read_xlsx(archive, workbook, error)) {
        return "error: " + error;
    }
    return testing::sheet_text(workbook, {"[", "]", "", "|", "|", escaped});
}

const std::string main_ns =
    " xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main'"
    " xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'";

// A workbook of one sheet, "S", with `sheet_data` in its <sheetData>, and the other parts given.
std::string workbook(std::string_view sheet_data, std::string_view shared = "",
                     std::string_view styles = "", std::string_view properties = "") {
    const std::string type = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    std::vector<testing::ZipEntry> entries = {
        {"xl/workbook.xml", "<workbook" + main_ns + ">" + std::string(properties) +
                                "<sheets><sheet name='S' sheetId='1' r:id='rId1'/></sheets>"
                                "</workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id='rId1' Type='" + type +
             "worksheet' Target='/xl/worksheets/../worksheets/sheet1.xml'/></Relationships>"},
        {"xl/worksheets/sheet1.xml", "<worksheet" + main_ns + "><sheetData>" +
                                         std::string(sheet_data) + "</sheetData></worksheet>"},
    };
    if (!shared.empty()) {
        entries.push_back(
            {"xl/sharedStrings.xml", "<sst" + main_ns + ">" + std::string(shared) + "</sst>"});
    }
    if (!styles.empty()) {
        entries.push_back({"xl/styles.xml",
                           "<styleSheet" + main_ns + ">" + std::string(styles) + "</styleSheet>"});
    }
    return testing::make_zip(entries);
}

// Number formats for the styles 0 to 11 of workbook().
const std::string styles =
    "<cellStyleXfs><xf numFmtId='14'/></cellStyleXfs><cellXfs><xf numFmtId='0'/>"
    "<xf numFmtId='14'/><xf numFmtId='22'/><xf numFmtId='45'/><xf numFmtId='164'/>"
    "<xf numFmtId='165'/><xf numFmtId='166'/><xf numFmtId='167'/><xf numFmtId='168'/>"
    "<xf numFmtId='169'/><xf numFmtId='170'/><xf numFmtId='171'/></cellXfs>"
    "<numFmts><numFmt numFmtId='164' formatCode='[Red][$-410]\"h \"0.00'/>"
    "<numFmt numFmtId='165' formatCode='0\\h General'/><numFmt numFmtId='166' formatCode='[h]:mm'/>"
    "<numFmt numFmtId='167' formatCode='mm:ss'/><numFmt numFmtId='168' formatCode='mmm'/>"
    "<numFmt numFmtId='169' formatCode='YYYY-MM-DD'/><numFmt numFmtId='170' formatCode='ss'/>"
    "<numFmt numFmtId='171' formatCode='d/m/yyyy\\ h:mm'/></numFmts>";

std::string row_of_styled(std::string_view number, std::string_view serials) {
    std::string cells;
    std::string_view rest = serials;
    for (int style = 0; !rest.empty(); ++style) {
        const std::size_t space = std::min(rest.find(' '), rest.size());
        cells += "<c s='" + std::to_string(style) + "'><v>" + std::string(rest.substr(0, space)) +
                 "</v></c>";
        rest.remove_prefix(std::min(space + 1, rest.size()));
    }
    return "<row r='" + std::string(number) + "'>" + cells + "</row>";
}

TEST(XlsxWorkbook, Cells) {
    const struct {
        std::string bytes;
        std::string expected;
    } cases[] = {
        {workbook("<row><c t='s'><v>1</v></c><c t='s'><v>0</v></c><c r='E1' t='inlineStr'><is>"
                  "<r><t>Gara</t></r><r><rPr/><t xml:space='preserve'> 1 </t></r><rPh><t>g"
                  "</t></rPh></is></c><c t='str'><f>A1</f><v> x </v></c></row><row r='4'><c "
                  "t='b'><v>1</v></c><c t='b'><v>0</v></c><c t='e'><v>#N/A</v></c><c t='d'>"
                  "<v>2026-10-04T18:30:00</v></c><c t='d'><v>2026-10-05</v></c><c><v>-0.50"
                  "</v></c><c><v>007</v></c><c/><c><v>1.0E3</v></c></row><row><c r='B5'/></row>",
                  "<si><t>Lorvane</t><rPh><t>ro</t></rPh></si><si><r><t>Citt\xC3\xA0 </t></r><r>"
                  "<t>_x005F_x000D_ B</t></r></si>"),
         "[S]\n1|Citt\xC3\xA0 _x000D_ B|Lorvane|||Gara 1|x\n4|VERO|FALSO|#N/A|04/10/2026 18:30|"
         "05/10/2026|-0.5|7||1000\n"},
        {workbook(row_of_styled("1",
                                "45000.5 45000 45000 45000.75 2.5 2.5 1.25 0.0125 45000 "
                                "45000.25 0.5 45000") +
                      row_of_styled("2", "1 60 61 0.999999 -1 3000000 1 1 1 59 1 45000.5"),
                  "", styles),
         "[S]\n1|45000.5|15/03/2023|15/03/2023 00:00|18:00|2.5|2.5|06:00|00:18|15/03/2023|"
         "15/03/2023 06:00|0.5|15/03/2023 00:00\n2|1|29/02/1900|01/03/1900 "
         "00:00|00:00|-1|3000000|00:00|"
         "00:00|01/01/1900|28/02/1900|1|15/03/2023 12:00\n"},
        {workbook(row_of_styled("3", "0 0 1 1.5"), "", styles, "<workbookPr date1904='1'/>"),
         "[S]\n3|0|00:00|02/01/1904 00:00|12:00\n"},
        // Damaged workbooks.
        {workbook("<row><c t='s'><v>2</v></c></row>", "<si><t>a</t></si>"),
         "error: il foglio S \xE8 danneggiato: una cella rimanda a un testo che non c'\xE8"},
        {workbook("<row><c r='1A'/></row>"),
         "error: il foglio S \xE8 danneggiato: una cella ha un riferimento errato"},
        {workbook("<row><c r='XFE1'><v>1</v></c></row>"),
         "error: il foglio S ha pi\xF9 di 16384 colonne"},
        {workbook("<row r='1048577'/>"), "error: il foglio S ha pi\xF9 di 1048576 righe"},
        {workbook([] {
             std::string rows;
             for (int i = 0; i < 257; ++i) {
                 rows += "<row><c r='XFD1'><v>1</v></c></row>";
             }
             return rows;
         }()),
         "error: il foglio S ha pi\xF9 celle o pi\xF9 testo di quanti se ne leggono (4194304 "
         "celle, 64 MiB in tutto)"},
        {workbook("<row><c><v>1</v></row>"),
         "error: il foglio S \xE8 danneggiato: il testo XML chiude </row> dove va chiuso <c>"},
        {testing::make_zip({{"xl/workbook.xml",
                             "<workbook><sheets><sheet name='\xC3\xA8' "
                             "r:id='rId9'/></sheets></workbook>"},
                            {"xl/_rels/workbook.xml.rels", "<Relationships/>"}}),
         "error: la cartella di lavoro \xE8 danneggiata: il foglio \xE8 non ha un suo file "
         "nell'archivio"},
        {testing::make_zip({{"xl/workbook.xml", "<workbook><sheets/></workbook>"}}),
         "error: nell'archivio zip manca il file xl/_rels/workbook.xml.rels"},
        // The workbooks that openpyxl wrote, against what it reads back from them.
        {testing::fixture_file("xlsx/calendario.xlsx"),
         testing::fixture_file("xlsx/calendario.expected")},
        {testing::fixture_file("xlsx/mac1904.xlsx"),
         testing::fixture_file("xlsx/mac1904.expected")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dump(c.bytes), c.expected);
    }
}

// The serials the three readers share, where .xls and .xlsx once told them apart; .xls shows
// every serial as a date.
TEST(SheetValues, SerialTexts) {
    const struct {
        double serial;
        Shown shown;
        bool from_1904;
        std::string_view expected;
    } cases[] = {
        {46299.78125, Shown::time, false, "18:45"},
        {46299, Shown::date_time, false, "04/10/2026 00:00"},
        {46299, Shown::date, false, "04/10/2026"},
        {0.9999999, Shown::date, false, "01/01/1900"},  // rounded into the first day
        {2957003.5, Shown::date, true, "31/12/9999 12:00"},
        {2957004, Shown::date, true, ""},
        {2958465.9999999, Shown::date, false, ""},  // rounded past 31/12/9999
        {1, Shown::date, false, "01/01/1900"},
        {59, Shown::date, false, "28/02/1900"},
        {60, Shown::date, false, "29/02/1900"},
        {61, Shown::date, false, "01/03/1900"},
        {46299.78125, Shown::date, false, "04/10/2026 18:45"},
        {46299.99999, Shown::date, false, "05/10/2026"},  // rounds into the next day
        {0.5, Shown::date, false, "12:00"},
        {0, Shown::date, false, "00:00"},
        {2958465.5, Shown::date, false, "31/12/9999 12:00"},
        {2958466, Shown::date, false, ""},
        {-1, Shown::date, false, ""},
        {0, Shown::date, true, "00:00"},
        {1, Shown::date, true, "02/01/1904"},
        {44837, Shown::date, true, "04/10/2026"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serial_text(c.serial, c.shown, c.from_1904), c.expected) << c.serial;
        if (c.shown == Shown::date) {
            EXPECT_EQ(xls_serial_text(c.serial, c.from_1904), c.expected) << c.serial;
        }
    }
}

// A number's text as .xlsx and .ods show it, and its value in the notation .xls uses.
TEST(SheetValues, NumberTexts) {
    const struct {
        std::string_view text;
        std::pair<std::string, std::string> expected;
    } cases[] = {
        {" +007 ", {"7", "7"}},
        {"-0", {"0", "0"}},
        {"12345678901234567890", {"12345678901234567890", "12345678901234567168"}},
        {"1e-7", {"0.0000001", "1e-07"}},
        {"-2.50", {"-2.5", "-2.5"}},
        {"inf", {"-", "-"}},
    };
    for (const auto& c : cases) {
        const std::optional<double> value = number_value(c.text);
        EXPECT_EQ(std::pair(number_text(c.text).value_or("-"),
                            value ? number_text(*value, Notation::shorter) : "-"),
                  c.expected)
            << c.text;
    }
}

}  // namespace
}  // namespace gironario
