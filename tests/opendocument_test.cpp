#include "calendar/opendocument.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/zip_builder.hpp"
#include "sheet_text.hpp"

namespace gironario {
namespace {

// A zip archive of stored members, as small as a package can be.
std::string stored_zip(std::vector<testing::ZipEntry> entries) {
    for (testing::ZipEntry& entry : entries) {
        entry.deflated = false;
    }
    return testing::make_zip(entries);
}

// What a package gives, as the oracle script writes the fixtures' expected files: "ods" and one
// line per row ("# NAME" before each sheet's rows, then "NUMBER: CELL | CELL"), "odt" and the
// document's lines, or "neither"; "! ERROR" for a reading that fails.
std::string read_back(const std::string& zip) {
    ZipArchive archive;
    std::string error;
    std::string text;
    Workbook book;
    if (!archive.open(zip, error)) {
        return "! " + error + "\n";
    }
    if (is_odt(archive)) {
        const bool read = read_odt_lines(archive, text, error);
        EXPECT_TRUE(read || text.empty());
        return "odt\n" + (read ? text : "! " + error + "\n");
    }
    if (!is_ods(archive)) {
        return "neither\n";
    }
    if (!read_ods(archive, book, error)) {
        EXPECT_TRUE(book.sheets.empty());
        return "ods\n! " + error + "\n";
    }
    return "ods\n" + testing::sheet_text(book, {"# ", "", ":", " ", " | "});
}

// A package of that kind ("spreadsheet", "text") whose office:body holds `body` in office:KIND.
std::string package(const std::string& kind, const std::string& body) {
    return stored_zip(
        {{"mimetype", "application/vnd.oasis.opendocument." + kind},
         {"content.xml", "<office:document-content><office:body><office:" + kind + ">" + body +
                             "</office:" + kind + "></office:body></office:document-content>"}});
}

std::string cell(const std::string& attributes, const std::string& text = "") {
    return "<table:table-cell " + attributes + "><text:p>" + text + "</text:p></table:table-cell>";
}

// A cell of that value type holding `value` in its value attribute.
std::string typed(const std::string& type, const std::string& value, const std::string& text = "") {
    const bool own = type == "date" || type == "time" || type == "boolean";
    return cell("office:value-type=\"" + type + "\" office:" + (own ? type + "-" : "") +
                    "value=\"" + value + "\"",
                text);
}

std::string row(const std::string& cells, const std::string& attributes = "") {
    return "<table:table-row " + attributes + ">" + cells + "</table:table-row>";
}

std::string table(const std::string& rows, const std::string& name = "G") {
    return "<table:table table:name=\"" + name + "\">" + rows + "</table:table>";
}

TEST(OpenDocument, Packages) {
    const std::string empty_tail = "<table:table-cell table:number-columns-repeated=\"1020\"/>";
    const std::string text_spaces =
        "<table:table-cell office:value-type=\"string\"><text:p>  Campo<text:s text:c=\"2\"/>"
        "<text:span>A</text:span>\n <text:tab/>b<text:line-break/><text:a>c</text:a>"
        "<office:annotation><text:p>nota</text:p></office:annotation></text:p><text:p/>"
        "<text:p>seconda</text:p></table:table-cell>";
    const struct {
        std::string zip;
        std::string expected;
    } cases[] = {
        {package("spreadsheet",
                 table(row(typed("float", "443") + typed("float", "18.300000000000001") +
                           typed("percentage", "2.25E0") + typed("currency", "-0") +
                           typed("float", "1e-7") + typed("float", "x", "testo") +
                           typed("boolean", "true") + typed("boolean", "0") +
                           typed("string", "", "#N/A") + empty_tail) +
                       row(typed("date", "2026-10-04") + typed("date", "2026-10-04T18:30:00") +
                           typed("date", "2026-10-04T00:00:00") +
                           typed("date", "2026-10-04T18:29:30.5Z") +
                           typed("date", "2026-12-31T23:59:45") +
                           typed("date", "2026-02-29", "29 feb") + typed("time", "PT18H30M00S") +
                           typed("time", "P0DT18H30M") + typed("time", "PT30M29.6S") +
                           typed("time", "P1DT2H") + typed("time", "-PT1H", "meno")))),
         "ods\n# G\n1: 443 | 18.3 | 2.25 | 0 | 0.0000001 | testo | VERO | FALSO | #N/A\n"
         "2: 04/10/2026 | 04/10/2026 18:30 | 04/10/2026 | 04/10/2026 18:30 | 01/01/2027 | 29 feb | "
         "18:30 | 18:30 | 00:30 | 02:00 | meno\n"},
        // Text with its spaces, tabs and breaks; a note and an empty paragraph left out.
        {package("spreadsheet", table(row(text_spaces))), "ods\n# G\n1: Campo  A \tb c seconda\n"},
        // Repeats: empty rows and cells only counted, the tail LibreOffice writes dropped, a
        // repeat with text expanded, covered cells holding their column.
        {package(
             "spreadsheet",
             table(row(cell("", "a") + "<table:table-cell table:number-columns-repeated=\"2\"/>" +
                       cell("table:number-columns-repeated=\"2\"", "b") +
                       "<table:covered-table-cell/>" + cell("", "c")) +
                   row("<table:table-cell/>", "table:number-rows-repeated=\"3\"") +
                   "<table:table-header-rows>" +
                   row(cell("", "d"), "table:number-rows-repeated=\"2\"") +
                   "</table:table-header-rows>" +
                   row(empty_tail, "table:number-rows-repeated=\"1048570\"")) +
                 table(row(cell("", "x")), "Foglio 2") + table("", "vuoto")),
         "ods\n# G\n1: a |  |  | b | b |  | c\n5: d\n6: d\n# Foglio 2\n1: x\n# vuoto\n"},
        // Bounds and damage.
        {package("spreadsheet",
                 table(row(empty_tail + cell("table:number-columns-repeated=\"16000\"", "x")))),
         "ods\n! una riga ha dati oltre la colonna 16384, l'ultima di un foglio\n"},
        {package("spreadsheet",
                 table(row("<table:table-cell/>", "table:number-rows-repeated=\"1048576\"") +
                       row(cell("", "x")))),
         "ods\n! un foglio ha dati oltre la riga 1048576, l'ultima di un foglio\n"},
        {package("spreadsheet", table(row(cell("table:number-columns-repeated=\"16384\"", "x"),
                                          "table:number-rows-repeated=\"1000\""))),
         "ods\n! il file ha pi\xF9 di 10 milioni di celle: troppe per un calendario\n"},
        {package("spreadsheet", table(row(cell("", "<text:s text:c=\"1000000000\"/>")))),
         "ods\n! il file \xE8 danneggiato: chiede pi\xF9 di 65535 spazi di seguito\n"},
        {package("spreadsheet", table(row(cell("", "a")) + "<table:table-row>")),
         "ods\n! il foglio \xE8 danneggiato: il testo XML chiude </table:table> dove va chiuso "
         "<table:table-row>\n"},
        {stored_zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                     {"META-INF/manifest.xml", "<manifest:encryption-data/>"},
                     {"content.xml", "x"}}),
         "ods\n! il foglio \xE8 protetto da una password: salvarlo senza password e riprovare\n"},
        {stored_zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}}),
         "ods\n! il foglio \xE8 danneggiato: manca il suo contenuto (content.xml)\n"},
        // Text documents.
        {package("text",
                 "<text:tracked-changes><text:p>tolto</text:p></text:tracked-changes>"
                 "<text:h>Calendario</text:h><text:p> 1 <text:s/> sab<text:tab/>4/10 "
                 "<draw:frame><draw:text-box><text:p>box</text:p></draw:text-box>"
                 "</draw:frame><text:note><text:note-citation>1</text:note-citation>"
                 "<text:note-body><text:p>nota</text:p></text:note-body></text:note></text:p>"
                 "<text:list><text:list-item><text:p>voce</text:p></text:list-item>"
                 "</text:list><text:p/>"),
         "odt\nCalendario\n1   sab\t4/10 1\nvoce\n\n"},
        {package("text", "<table:table><table:table-column/><table:table-row>" + cell("", "N.") +
                             cell("", " Data ") + "<table:table-cell/></table:table-row>" +
                             row(cell("", "1") + "<table:covered-table-cell/>" + cell("", "x"),
                                 "table:number-rows-repeated=\"2\"") +
                             row("<table:table-cell/>", "table:number-rows-repeated=\"9\"") +
                             row("<table:table-cell><text:p>a</text:p><text:p>b</text:p>"
                                 "</table:table-cell>") +
                             "</table:table><text:p>dopo</text:p>"),
         "odt\nN.\tData\n1\t\tx\n1\t\tx\n\na b\ndopo\n"},
        // Only the mimetype tells the kinds apart.
        {stored_zip({{"mimetype", "application/vnd.oasis.opendocument.text\n"}}),
         "odt\n! il documento \xE8 danneggiato: manca il suo contenuto (content.xml)\n"},
        {stored_zip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet-template"}}),
         "neither\n"},
        {stored_zip({{"mimetype", std::string(300, 'a')}}), "neither\n"},
        // Packages written by odfpy (tests/fixtures/ods/make_fixtures.py), each beside what odfpy
        // itself reads back from it.
        {testing::fixture_file("ods/calendario.ods"),
         testing::fixture_file("ods/calendario.expected")},
        {testing::fixture_file("ods/documento.odt"),
         testing::fixture_file("ods/documento.expected")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_back(c.zip), c.expected);
    }
}

}  // namespace
}  // namespace gironario
