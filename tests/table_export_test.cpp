#include "export/table_export.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/merge.hpp"
#include "io/byte_stream.hpp"
#include "string_calendars.hpp"

namespace gironario {
namespace {

std::string exported(TableKind kind, const std::string& merged, long long matches,
                     std::size_t capacity = LineReader::default_capacity) {
    StringInput input(merged);
    LineReader reader(input, capacity);
    std::string table;
    StringOutput output(table);
    LineWriter writer(output, 5);
    export_table(kind, reader, matches, writer);
    EXPECT_TRUE(writer.close());
    return table;
}

const std::string page_head =
    "<HTML>\n<BODY>\n<TABLE border=1 bgcolor=#80ff80>\n"
    "<TR><TD><b>N</b></TD><TD align=center><b>DATA</b></TD><TD align=center><b>ORARIO</b></TD>"
    "<TD align=center><b>LUOGO</b></TD><TD align=center><b>PARTITA</b></TD></TR>";
const std::string page_tail = "\n</TABLE>\n</BODY>\n</HTML>";

const std::string worked_example =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n";

TEST(TableExport, WorkedExampleAsSpreadsheet) {
    EXPECT_EQ(exported(TableKind::spreadsheet, worked_example, 4),
              "1\t1\t06/10/07\t18:00\tPalaA\tAlfa - Beta\n"
              "2\t4\t06/10/07\t21:00\tPalaB\tDelta - Eta\n"
              "3\t\n"
              "4\t2\t13/10/07\t18:00\tPalaA\tAlfa - Gamma\n"
              "5\t5\t13/10/07\t18:00\tPalaC\tZeta - Delta\n");
}

TEST(TableExport, WorkedExampleAsWebPage) {
    EXPECT_EQ(exported(TableKind::web_page, worked_example, 4),
              page_head +
                  "<TR bgcolor=#c0ffff>\n\t<TD>1</TD>\n\t<TD>06/10/07</TD>\n\t<TD>18:00</TD>\n\t"
                  "<TD>PalaA</TD>\n\t<TD>Alfa - Beta\n\t</TD>\n</TR>\n"
                  "<TR bgcolor=#c0ffff>\n\t<TD>4</TD>\n\t<TD>06/10/07</TD>\n\t<TD>21:00</TD>\n\t"
                  "<TD>PalaB</TD>\n\t<TD>Delta - Eta\n\t</TD>\n</TR>\n"
                  "<TR bgcolor=#c0ffff>\n\t<TD>\n\t</TD>\n</TR>\n"
                  "<TR bgcolor=#c0ffff>\n\t<TD>2</TD>\n\t<TD>13/10/07</TD>\n\t<TD>18:00</TD>\n\t"
                  "<TD>PalaA</TD>\n\t<TD>Alfa - Gamma\n\t</TD>\n</TR>\n"
                  "<TR bgcolor=#c0ffff>\n\t<TD>5</TD>\n\t<TD>13/10/07</TD>\n\t<TD>18:00</TD>\n\t"
                  "<TD>PalaC</TD>\n\t<TD>Zeta - Delta\n\t</TD>\n</TR>\n" +
                  page_tail);
}

TEST(TableExport, EmptyMerge) {
    EXPECT_EQ(exported(TableKind::spreadsheet, "", 0), "");
    EXPECT_EQ(exported(TableKind::web_page, "", 0), page_head + page_tail);
}

TEST(TableExport, FieldsOfOneLine) {
    struct Row {
        std::string line;
        std::string row;  // as spreadsheet row 1
    };
    const std::string long_match(100'000, 'M');
    const std::vector<Row> rows = {
        {"7 01/09/07 15:30 Campo1 Alfa - Beta Junior",
         "1\t7\t01/09/07\t15:30\tCampo1\tAlfa - Beta Junior"},
        {"1  06/10/07 18:00 PalaA Alfa", "1\t1\t\t06/10/07\t18:00\tPalaA Alfa"},
        {"1 06/10/07 18:00", "1\t1\t06/10/07\t18:00"},
        {"1 06/10/07\t18:00 Pala A B", "1\t1\t06/10/07\t18:00\tPala\tA\tB"},  // a tab is no space
        {"1 06/10/07 18:00 Pala<A> Alfa & Beta", "1\t1\t06/10/07\t18:00\tPala<A>\tAlfa & Beta"},
        // A letter where a heading has it keeps the line in one field.
        {"1 o6/10/07 18:00 PalaA Alfa - Beta", "1\t1 o6/10/07 18:00 PalaA Alfa - Beta"},
        {"1i06/10/07 18:00 PalaA Alfa", "1\t1i06/10/07 18:00 PalaA Alfa"},
        {"Girone di andata", "1\tGirone di andata"},
        {"12o 06/10/07 18:00 PalaA Alfa", "1\t12o 06/10/07 18:00 PalaA Alfa"},
        {"1 O6/10/07 18:00 PalaA Alfa", "1\t1\tO6/10/07\t18:00\tPalaA\tAlfa"},
        {"1 06/10/07 18:00 PalaA " + long_match + " x",
         "1\t1\t06/10/07\t18:00\tPalaA\t" + long_match + " x"},
        {std::string(70'000, '1') + " 06/10/07 18:00 PalaA Alfa - Beta",
         "1\t" + std::string(70'000, '1') + "\t06/10/07\t18:00\tPalaA\tAlfa - Beta"},
    };
    for (const Row& row : rows) {
        // Spaces falling across the pieces of a line read through a small buffer count alike.
        for (std::size_t capacity :
             {std::size_t{3}, std::size_t{4}, std::size_t{7}, LineReader::default_capacity}) {
            EXPECT_EQ(exported(TableKind::spreadsheet, row.line + "\n", 1, capacity),
                      row.row + "\n")
                << row.line.substr(0, 40) << " capacity " << capacity;
        }
    }
    EXPECT_EQ(exported(TableKind::web_page, "1 06/10/07 18:00 Pala<A> Alfa & Beta\n", 1),
              page_head +
                  "<TR bgcolor=#c0ffff>\n\t<TD>1</TD>\n\t<TD>06/10/07</TD>\n\t<TD>18:00</TD>\n\t"
                  "<TD>Pala<A></TD>\n\t<TD>Alfa & Beta\n\t</TD>\n</TR>\n" +
                  page_tail);
}

TEST(TableExport, RowsEndWithTheTextOrTheLastMatch) {
    const std::string three =
        "1 06/10/07 18:00 A\n\n2 13/10/07 18:00 B\n\n\n3 20/10/07 18:00 C\n\n";
    // The count the merge gave bounds the rows: day-break lines after the last match are left out.
    EXPECT_EQ(exported(TableKind::spreadsheet, three, 3),
              "1\t1\t06/10/07\t18:00\tA\n2\t\n3\t2\t13/10/07\t18:00\tB\n4\t\n5\t\n"
              "6\t3\t20/10/07\t18:00\tC\n");
    EXPECT_EQ(exported(TableKind::spreadsheet, three, 2),
              "1\t1\t06/10/07\t18:00\tA\n2\t\n3\t2\t13/10/07\t18:00\tB\n");
    // A count larger than the text: the rows stop with the text.
    EXPECT_EQ(exported(TableKind::spreadsheet, three, 1000),
              "1\t1\t06/10/07\t18:00\tA\n2\t\n3\t2\t13/10/07\t18:00\tB\n4\t\n5\t\n"
              "6\t3\t20/10/07\t18:00\tC\n7\t\n");
    EXPECT_EQ(exported(TableKind::web_page, "1 06/10/07 18:00 A", 5),
              page_head +
                  "<TR bgcolor=#c0ffff>\n\t<TD>1</TD>\n\t<TD>06/10/07</TD>\n\t<TD>18:00</TD>\n\t"
                  "<TD>A\n\t</TD>\n</TR>\n" +
                  page_tail);
}

// A table made as the merge goes holds the bytes of the one made from the merged text: day breaks
// between matches and after a tie, none after the last match, centuries left out, lines that keep
// their spaces, lines longer than the reader's buffer, a merge with nothing in it.
TEST(TableExport, StraightFromTheMergeAsFromTheMergedText) {
    const std::string tail(70'000, 'x');
    const std::vector<std::vector<Text>> merges = {
        {{"1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa Gamma\n", 4},
         {"4 06/10/07 21:00 PalaB Delta - Eta\n5 13/10/07 18:00 PalaC Zeta - Delta\n", 2}},
        {{"1 o6/10/07 18:00 PalaA Alfa - Beta\n12 06/10/07 19:00 Pala" + tail + " Z\n", 2},
         {"3 06/10/07 18:00 PalaB\n", 2},
         {"Girone\n", 2}},
        {{"", 2}, {"Girone\n", 4}},
    };
    for (const auto& texts : merges) {
        for (const TableKind kind : {TableKind::spreadsheet, TableKind::web_page}) {
            const auto merged_into = [&](auto&& write) {
                StringCalendars calendars(texts);
                std::string text;
                StringOutput output(text);
                LineWriter writer(output, 7);
                const long long matches = write(calendars.calendars, writer);
                EXPECT_TRUE(writer.close());
                return std::pair(text, matches);
            };
            const auto [merged, matches] =
                merged_into([](std::span<Calendar> calendars, LineWriter& out) {
                    return merge(calendars, out);
                });
            const auto [table, table_matches] =
                merged_into([&](std::span<Calendar> calendars, LineWriter& out) {
                    TableSink sink(kind, out);
                    const long long count = merge(calendars, sink);
                    sink.finish();
                    return count;
                });
            EXPECT_EQ(table_matches, matches);
            EXPECT_EQ(table, exported(kind, merged, matches)) << texts[0].text.substr(0, 40);
        }
    }
}

}  // namespace
}  // namespace gironario
