#include "export/day_page.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/page_matches.hpp"
#include "io/byte_stream.hpp"
#include "string_calendars.hpp"

namespace gironario {
namespace {

// What stands between `from` and `to` in the page of one line.
std::string page_of(const std::string& text_line, std::string_view from, std::string_view to,
                    int year_digits = 2, std::size_t calendar = 0, std::string_view tag = {},
                    std::string_view clash_note = {}) {
    const LineRecord match(text_line, year_digits, calendar);
    const MatchTag tags[] = {{tag, calendar}};
    PageLine line{&*match, {}, tags, clash_note};
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    DayPage page(writer, {});
    page.begin();
    page.match(line);
    page.end();
    EXPECT_TRUE(writer.close());
    const std::size_t start = text.find(from) + from.size();
    return text.substr(start, text.find(to, start) - start);
}

TEST(DayPage, DayHeadings) {
    // Every weekday and month; leap days, and 99 and 00 in calendars of two-digit years.
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"01/01/00", "sabato 1 gennaio 2000"}, {"29/02/00", "marted&igrave; 29 febbraio 2000"},
        {"17/03/2027", "mercoled&igrave; 17 marzo 2027"}, {"18/04/26", "sabato 18 aprile 2026"},
        {"09/05/2025", "venerd&igrave; 9 maggio 2025"}, {"01/06/2026", "luned&igrave; 1 giugno 2026"},
        {"23/07/2026", "gioved&igrave; 23 luglio 2026"}, {"15/08/2026", "sabato 15 agosto 2026"},
        {"30/09/2026", "mercoled&igrave; 30 settembre 2026"}, {"04/10/2026", "domenica 4 ottobre 2026"},
        {"11/11/2026", "mercoled&igrave; 11 novembre 2026"}, {"31/12/99", "venerd&igrave; 31 dicembre 1999"},
        {"29/02/2100", "Da controllare"}, {"29/02/99", "Da controllare"}};
    // clang-format on
    for (const auto& [date, heading] : rows) {
        const std::string line = "1 " + date + " 18:00 P A";
        const int digits = date.size() == 10 ? 4 : 2;
        EXPECT_EQ(page_of(line, "<h2>", "</h2>", digits), heading);
    }
}

// The relative luminance of "#rrggbb", plus the 0.05 of WCAG's contrast ratio.
double luminance(std::string_view colour) {
    double sum = 0.05;
    for (const auto& [place, weight] : {std::pair{1u, 0.2126}, {3u, 0.7152}, {5u, 0.0722}}) {
        const double c = std::stoi(std::string(colour.substr(place, 2)), nullptr, 16) / 255.0;
        sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

TEST(DayPage, TagsAndTheirContrast) {
    const auto contrast = [](std::string_view one, std::string_view two) {
        return std::max(luminance(one), luminance(two)) / std::min(luminance(one), luminance(two));
    };
    for (const std::string_view colour : TAG_COLOURS) {
        EXPECT_GE(contrast(TAG_TEXT, colour), 4.5) << colour;     // on screen
        EXPECT_GE(contrast(colour, PAGE_GROUND), 4.5) << colour;  // in print
    }
    for (const std::string_view text : {PAGE_TEXT, PLACE_TEXT, NOTE_TEXT}) {
        EXPECT_GE(contrast(text, PAGE_GROUND), 4.5) << text;
    }
    EXPECT_GE(contrast(PAGE_TEXT, DAY_GROUND), 4.5);
    EXPECT_EQ(std::set(TAG_COLOURS.begin(), TAG_COLOURS.end()).size(), 8u);
    EXPECT_EQ(calendar_tag("squadre/u17.txt"), "u17");
    EXPECT_EQ(calendar_tag("C:\\stagione\\prima.squadra.txt"), "prima.squadra");
    EXPECT_EQ(calendar_tag(".u17"), ".u17");
    // The ninth calendar has the first one's colour; a clash note follows the tag.
    EXPECT_EQ(page_of("1 04/10/26 18:00 P A", "</em> ", "</li>", 2, 8, "u9", "anche <prima>"),
              "<span class=\"tag c0\">u9</span><span class=\"nota\">&#9888; anche "
              "&lt;prima&gt;</span>");
}

TEST(DayPage, NoMarkupFromALine) {
    // Each character of markup, and control characters, in a line's eight-byte words and in its
    // last bytes.
    const std::pair<char, std::string> rows[] = {{'<', "&lt;"},   {'>', "&gt;"},   {'&', "&amp;"},
                                                 {'"', "&quot;"}, {'\'', "&#39;"}, {'\x7F', ""},
                                                 {'\x01', ""}};
    for (const auto& [c, written] : rows) {
        for (const std::string pad : {"", "bbb"}) {
            const std::string line = "1 04/10/26 18:00 P A" + pad + c + "b";
            EXPECT_EQ(page_of(line, "<strong>", "</strong>"), "A" + pad + written + "b");
        }
    }
}

// Each day and its items, "heading: time title, ...; ...", of lines given in the merged order.
std::string days_of(const std::vector<std::string>& text_lines) {
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    DayPage page(writer, {});
    page.begin();
    for (const std::string& text_line : text_lines) {
        const LineRecord match(text_line);
        const MatchTag tags[] = {{"t", 0}};
        page.match({&*match, "c.txt", tags, {}});
    }
    page.end();
    EXPECT_TRUE(writer.close());
    std::string days;
    const auto part = [&](std::size_t& at, std::string_view open, std::string_view close) {
        const std::size_t start = text.find('>', text.find(open, at)) + 1;
        at = text.find(close, start);
        return text.substr(start, at - start);
    };
    for (std::size_t at = text.find("<h2>"); at != std::string::npos; at = text.find("<h2>", at)) {
        days += days.empty() ? "" : "; ";
        days += part(at, "<h2>", "</h2>") + ":";
        const std::size_t end = text.find("</ul>", at);
        for (std::size_t item = text.find("<li>", at); item < end; item = text.find("<li>", item)) {
            if (text.compare(item, 9, "<li><time") == 0) {
                days += " " + part(item, "<time", "</time>");
                days += " " + part(item, "<strong", "</strong>");
            } else {
                days += " " + part(item, "<code", "</code>");
            }
        }
    }
    return days;
}

TEST(DayPage, ADayWithoutItsTime) {
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        // After the day's timed matches, whenever it comes.
        {{"2 04/10/26 da definire P C", "1 04/10/26 18:00 P A"},
         "domenica 4 ottobre 2026: 18:00 A ora da definire C"},
        // A day of its own before the next, and at the end; a time written wrong is to be checked.
        {{"2 05/10/26 TBD P C", "1 06/10/26 18:00 P A", "3 07/10/26 - P E", "4 07/10/26 18:9o P G"},
         "luned&igrave; 5 ottobre 2026: ora da definire C; marted&igrave; 6 ottobre 2026: 18:00 A; "
         "mercoled&igrave; 7 ottobre 2026: ora da definire E; Da controllare: 4 07/10/26 18:9o P "
         "G"},
    };
    for (const auto& [lines, days] : rows) {
        EXPECT_EQ(days_of(lines), days) << lines.front();
    }
}

TEST(DayPage, WholePageThroughTheMerge) {
    // UTF-8 and Windows-1252 with markup; a day that does not exist, a date out of place and a
    // line longer than the reader's buffer, after calendar 1 has ended.
    StringInput one(
        "Girone <A>\n1 04/10/2026 18:00 Pala\"X\" Citt\xC3\xA0 & Co\n"
        "2 04/10/2026 19:00 pala\"x\" Rivincita\n");
    const std::string w(30, 'w');
    StringInput two("7 04/10/26 18:00 Pal\xE8 Tre\x01 'e'\r\n10 05/10/26 21:00 P " + w +
                    "\n8 31/10/26 25:00 P <i>\n9 4/10/26 X\n");
    LineReader reader_one(one);
    LineReader reader_two(two, 24);
    Calendar calendars[] = {{reader_one, 4, "prima.txt"}, {reader_two, 2, "squadre/u17.txt"}};
    std::string warnings;
    CalendarChecks checks(calendars, [&](std::string_view text) { warnings += text; });
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    DayPage page(writer, {"Lorvane <2026>"});
    PageMatches lines(page, writer, calendars, checks);
    Checked checked(checks, lines);
    page.begin();
    EXPECT_EQ(merge(calendars, checked), 6);
    page.end();
    ASSERT_TRUE(writer.close());
    text.erase(text.find("<style>") + 7, text.find("</style>") - text.find("<style>") - 7);
    EXPECT_EQ(text,
              "<!doctype html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
              "<title>Lorvane &lt;2026&gt;</title>\n<style></style>\n</head>\n<body>\n"
              "<h1>Lorvane &lt;2026&gt;</h1>\n<section>\n<h2>domenica 4 ottobre 2026</h2>\n<ul>\n"
              "<li><time>18:00</time> <strong>Citt\xC3\xA0 &amp; Co</strong> "
              "<em>Pala&quot;X&quot;</em> <span class=\"tag c0\">prima</span></li>\n"
              "<li><time>18:00</time> <strong>Tre &#39;e&#39;</strong> <em>Pal\xC3\xA8</em> "
              "<span class=\"tag c1\">u17</span></li>\n"
              "<li><time>19:00</time> <strong>Rivincita</strong> <em>pala&quot;x&quot;</em> "
              "<span class=\"tag c0\">prima</span><span class=\"nota\">&#9888; campo occupato "
              "anche da Citt\xC3\xA0 &amp; Co, 18:00</span></li>\n</ul>\n</section>\n"
              "<section>\n<h2>luned&igrave; 5 ottobre 2026</h2>\n<ul>\n"
              "<li><time>21:00</time> <strong>" +
                  w +
                  "</strong> <em>P</em> <span class=\"tag c1\">u17</span></li>\n</ul>\n"
                  "</section>\n"
                  "<section>\n<h2>Da controllare</h2>\n<ul>\n<li>squadre/u17.txt, riga 3:<br>"
                  "<code>8 31/10/26 25:00 P &lt;i&gt;</code></li>\n<li>squadre/u17.txt, riga "
                  "4:<br><code>9 4/10/26 X</code></li>\n</ul>\n</section>\n</body>\n</html>\n");
    EXPECT_EQ(warnings,
              "gironario: prima.txt:3: pala\"x\" \xE8 occupato anche dalla gara 1 di prima.txt "
              "(riga 2), 04/10/2026 18:00-20:00\n"
              "gironario: squadre/u17.txt:3: gara 8 del 31/10/26 alle 25:00: data o ora "
              "inesistente, la gara \xE8 in fondo alla pagina, sotto \"Da controllare\"\n"
              "gironario: squadre/u17.txt:4: la data o l'ora non si legge (gg/mm/aa hh:mm): la "
              "riga resta dopo la precedente del suo calendario\n");
}

}  // namespace
}  // namespace gironario
