#include "calendar/html_tables.hpp"

#include <gtest/gtest.h>

#include "sheet_text.hpp"

#include <string>
#include <string_view>

namespace gironario {
namespace {

// The sheets read from `page` as text: "[name]" for each sheet, then "line: cell|cell" for each
// row; the error instead when the page is refused.
std::string shown(std::string_view page, const HtmlTableLimits& limits = {}) {
    Workbook book;
    std::string error;
    if (!read_html_tables(page, book, error, limits)) {
        return (book.sheets.empty() ? "error: " : "error with sheets: ") + error;
    }
    return testing::sheet_text(book);
}

TEST(HtmlTables, Pages) {
    const struct {
        std::string_view page;
        std::string_view sheets;
    } cases[] = {
        // A federation's results page, saved from the browser in Windows-1252: a header of <th>,
        // the day's date once for its matches, &nbsp; padding, closing tags left out.
        {"<html><head><title>Risultati</title></head><body>\n"
         "<table class=risultati>\n"
         "<tr><th>Data</th><th>Ora</th><th>Gara</th><th>Palestra</th></tr>\n"
         "<tr><td rowspan=\"2\">sab 04/10/2025<td>18:00<td>Virtus &ndash; Fortitudo<td>"
         "&nbsp;Citt\xE0 di Castello&nbsp;\n"
         "<tr><td>20:30<td>Lorvane - San Mauro<td>&nbsp;\n"
         "<tr><td>dom 05/10/2025<td>&nbsp;<td>Riposa: Aquile</td></tr></table>",
         "[]\n"
         "3: Data|Ora|Gara|Palestra\n"
         "4: sab 04/10/2025|18:00|Virtus \xE2\x80\x93 Fortitudo|Citt\xC3\xA0 di Castello\n"
         "5: sab 04/10/2025|20:30|Lorvane - San Mauro\n"
         "6: dom 05/10/2025||Riposa: Aquile\n"},
        // Which encoding: the page's own word, else UTF-8 where the bytes are, else Windows-1252.
        {"<meta charset='windows-1252'><table><tr><td>\xC3\xA8</table>",
         "[]\n1: \xC3\x83\xC2\xA8\n"},
        {"<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=ISO-8859-1\">"
         "<table><tr><td>\x80 \xE8</table>",
         "[]\n1: \xE2\x82\xAC \xC3\xA8\n"},
        {"<meta charset=\"utf-8\"><table><tr><td>Forl\xEC</table>", "[]\n1: Forl\xEF\xBF\xBD\n"},
        {"<table><tr><td>Forl\xC3\xAC</table>", "[]\n1: Forl\xC3\xAC\n"},
        {"\xEF\xBB\xBF<meta charset=windows-1252><table><tr><td>\xC3\xA8</table>",
         "[]\n1: \xC3\xA8\n"},
        {std::string_view("\xFF\xFE<\0t\0a\0b\0l\0e\0>\0<\0t\0d\0>\0\xE8\0\n\0=\xD8\x01\xDE", 32),
         "[]\n1: \xC3\xA8 \xF0\x9F\x98\x81\n"},
        // Entities, with and without their ';', and the numbers browsers take otherwise.
        {"<table><tr><td>&egrave;&Egrave;&ograve&ugravex &#232;&#xE8;&#XE8 &#150; &#0;&#xD800;"
         "&#1114112; &amp;&lt;b&gt;&quot;&apos; &euro;&deg;&ordm;&laquo;&raquo;&hellip;&copy; "
         "&nope; &euro &#; &notit; a&shy;b</table>",
         "[]\n1: \xC3\xA8\xC3\x88\xC3\xB2\xC3\xB9x \xC3\xA8\xC3\xA8\xC3\xA8 \xE2\x80\x93 "
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD &<b>\"' \xE2\x82\xAC\xC2\xB0\xC2\xBA\xC2\xAB"
         "\xC2\xBB\xE2\x80\xA6\xC2\xA9 &nope; &euro &#; \xC2\xACit; ab\n"},
        // What a cell shows of its content: no scripts, styles, templates nor comments; a
        // break or a block between words; white space and controls.
        {"<table><tr><td>a<script>x='<td>no</td>'</script>b<style>td{}</style>c<!-- <td>no -->d"
         "<template><td>no</td></template>e<!---->f<td>uno<br>due<p>tre</p><div>quattro</div>"
         "<ul><li>5<li>6</ul><td>  molto \t\r\n spazio\x01 <b>gras</b>setto <td>\xC2\x85&nbsp;"
         "</table>",
         "[]\n1: abcdef|uno due tre quattro 5 6|molto spazio grassetto\n"},
        // colspan and rowspan as the table model places them; spans end with their section.
        {"<table><tr><td colspan=2>Girone A<td>X\n"
         "<tr><td rowspan=3>sab<td rowspan=2 colspan=2>18:00<td>1\n"
         "<tr><td>2\n<tr><td>a<td>b<td>c\n"
         "<tr><td>d<td rowspan=0>e\n<tr><td>f\n<tr><td>g</tr>"
         "<tbody><tr><td>h</tbody><tr><td>i<td colspan=3px>j<td colspan=0>k<td rowspan=x>l</table>",
         "[]\n1: Girone A||X\n2: sab|18:00||1\n3: sab|18:00||2\n4: sab|a|b|c\n5: d|e\n6: f|e\n"
         "7: g|e\n7: h\n7: i|j|||k|l\n"},
        // Tables in cells are sheets of their own; a <table> where no cell is open ends the one
        // before; a <td> without its <tr> makes one; text and rows outside cells go nowhere.
        {"<td>fuori<table><caption>Serie <i>C</i></caption><tr><td>a<table><tr><td>b</table>c"
         "<td>d</table>\n<TABLE><TR>testo<TD>x<TR><table><td>y</table>",
         "[Serie C]\n1: a c|d\n[]\n1: b\n[]\n2: x\n[]\n2: y\n"},
        // Tags in any case, attributes quoted either way or not at all, a '>' in a quoted value,
        // rows with no cells and pages with no tables.
        {"<TaBlE><Tr><Td ColSpan='2' title=\"a>b\">a</tD><TH rowspan = 2 >b<tr></tr><tr><td>"
         "</td><tr><td>c</TABLE>",
         "[]\n1: a||b\n1: ||b\n1: c\n"},
        {"<p>nessuna tabella</p><tr><td>x", ""},
        {"<table><tr><td>a < b 1<2 <td>fine </", "[]\n1: a < b 1<2|fine </\n"},
        // Excel's "save as web page": CR LF, conditional comments, a hidden row of empty cells
        // that keeps the column widths, a colspan that only lets the text run over.
        {"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\r\n<head>\r\n"
         "<meta http-equiv=Content-Type content=\"text/html; charset=windows-1252\">\r\n"
         "<!--[if gte mso 9]><xml>\r\n <x:ExcelWorksheet><x:Name>Gare</x:Name>\r\n"
         "</x:ExcelWorksheet></xml><![endif]-->\r\n"
         "<style>\r\n<!--table\r\n\t{mso-displayed-decimal-separator:\"\\,\";}\r\n-->\r\n"
         "</style>\r\n</head>\r\n<body link=\"#0563C1\">\r\n"
         "<table border=0 cellpadding=0 cellspacing=0 width=256 style='border-collapse:\r\n"
         " collapse;width:192pt'>\r\n <col width=64 span=4 style='width:48pt'>\r\n"
         " <tr height=20 style='height:15.0pt'>\r\n"
         "  <td height=20 class=xl65 width=64 style='height:15.0pt;width:48pt'>Data</td>\r\n"
         "  <td class=xl65>Ora</td>\r\n  <td class=xl65>Gara</td>\r\n </tr>\r\n"
         " <tr height=20 style='height:15.0pt'>\r\n"
         "  <td height=20 class=xl66 align=right x:num=\"45934\">04/10/2025</td>\r\n"
         "  <td class=xl67 align=right x:num=\"0.75\">18:00</td>\r\n"
         "  <td colspan=2 style='mso-ignore:colspan'>Lorvane<span style='mso-spacerun:yes'>"
         "&nbsp; </span>- Forl\xEC</td>\r\n </tr>\r\n <![if supportMisalignedColumns]>\r\n"
         " <tr height=0 style='display:none'>\r\n  <td width=64 style='width:48pt'></td>\r\n"
         " </tr>\r\n <![endif]>\r\n</table>\r\n</body>\r\n</html>\r\n",
         "[]\n17: Data|Ora|Gara\n22: 04/10/2025|18:00|Lorvane - Forl\xC3\xAC\n"},
        // LibreOffice Calc: the sheet's name in a heading before its table, <colgroup>s.
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n"
         "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=utf-8\"/>\n"
         "<title></title>\n<style type=\"text/css\">\n\tbody,div,table,thead,tbody,tfoot,tr,th,"
         "td,p { font-family:\"Liberation Sans\" }\n</style>\n</head>\n<body>\n"
         "<a name=\"table0\"><h1>Foglio 1: <em>Girone A</em></h1></a>\n"
         "<table cellspacing=\"0\" border=\"0\">\n\t<colgroup width=\"85\"></colgroup>\n"
         "\t<colgroup span=\"2\" width=\"85\"></colgroup>\n\t<tr>\n"
         "\t\t<td height=\"17\" align=\"left\"><b>Data</b></td>\n"
         "\t\t<td align=\"left\"><b>Ora</b></td>\n\t\t<td align=\"left\"><b>Palestra</b></td>\n"
         "\t</tr>\n\t<tr>\n\t\t<td height=\"17\" align=\"right\" sdval=\"45934\" "
         "sdnum=\"1040;1040;GG/MM/AAAA\">04/10/2025</td>\n"
         "\t\t<td align=\"right\" sdval=\"0.75\" sdnum=\"1040;1040;HH.MM\">18.00</td>\n"
         "\t\t<td align=\"left\"><font color=\"#000000\">Citt\xC3\xA0 di Castello</font></td>\n"
         "\t</tr>\n</table>\n<!-- ***************************************************** -->\n"
         "</body>\n\n</html>\n",
         "[]\n13: Data|Ora|Palestra\n18: 04/10/2025|18.00|Citt\xC3\xA0 di Castello\n"},
        // Word: a paragraph for each line of a cell, <o:p> tags, style values over two lines.
        {"<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">\n"
         "<head><meta charset=\"windows-1252\"></head>\n<body lang=IT>\n"
         "<div class=WordSection1>\n"
         "<table class=MsoTableGrid border=1 cellspacing=0 cellpadding=0>\n"
         " <tr style='mso-yfti-irow:0'>\n"
         "  <td width=123 valign=top style='width:92.4pt;border:solid windowtext 1.0pt;\n"
         "  padding:0cm 5.4pt 0cm 5.4pt'>\n  <p class=MsoNormal><b><span "
         "style='font-size:10.0pt'>Sabato<o:p></o:p></span></b></p>\n  </td>\n"
         "  <td width=123 valign=top>\n  <p class=MsoNormal>Lorvane \x96 San Mauro</p>\n"
         "  <p class=MsoNormal>(andata)<o:p></o:p></p>\n  </td>\n"
         "  <td><p class=MsoNormal><o:p>&nbsp;</o:p></p></td>\n </tr>\n</table>\n"
         "<p class=MsoNormal><o:p>&nbsp;</o:p></p>\n</div>\n</body>\n</html>\n",
         "[]\n6: Sabato|Lorvane \xE2\x80\x93 San Mauro (andata)\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(c.page), c.sheets) << c.page;
    }
}

TEST(HtmlTables, Bounds) {
    const struct {
        std::string_view page;
        HtmlTableLimits limits;
        std::string_view sheets;
    } cases[] = {
        {"<table><tr><td>a</table>", HtmlTableLimits{10, 9, 9, 9, 9, 9},
         "error: la pagina \xE8 troppo grande (oltre 10 byte): salvare a parte la sola tabella "
         "del calendario"},
        {"<table><table><table>", HtmlTableLimits{99, 2, 9, 9, 9, 9},
         "error: la pagina ha pi\xF9 di 2 tabelle: salvare a parte la sola tabella del "
         "calendario"},
        {"<table><tr><td>1<tr><td>2<tr><td>3", HtmlTableLimits{99, 9, 2, 9, 9, 9},
         "error: una tabella della pagina ha pi\xF9 di 2 righe"},
        {"<table><tr><td>1<td colspan=3>2", HtmlTableLimits{99, 9, 9, 3, 9, 9},
         "error: una tabella della pagina ha pi\xF9 di 3 colonne"},
        {"<table><tr><td>1<td>2<tr><td colspan=3>", HtmlTableLimits{99, 9, 9, 9, 4, 9},
         "error: le tabelle della pagina hanno pi\xF9 di 4 celle in tutto"},
        {"<table><tr><td "
         "rowspan=0>abcdefghijklmnopqrstuvwxyz0123456789ABCD<tr><tr><tr><tr><tr><tr>",
         HtmlTableLimits{99, 9, 9, 9, 9, 2},
         "error: le celle unite su pi\xF9 righe ripetono troppo testo (oltre 269 byte)"},
        // Up to the bounds, whatever the bytes are.
        {"<table><tr><td>1<td>2<tr><td colspan=2>3", HtmlTableLimits{40, 1, 2, 2, 4, 0},
         "[]\n1: 1|2\n1: 3\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown(c.page, c.limits), c.sheets) << c.page;
    }
}

}  // namespace
}  // namespace gironario
