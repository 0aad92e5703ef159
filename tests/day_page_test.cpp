#include "export/day_page.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calendar/byte_stream.hpp"
#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/page_matches.hpp"

namespace gironario {
namespace {

std::string page_of(const std::vector<PageLine>& lines, const std::string& title = "Calendario") {
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    DayPage page(writer, {title});
    page.begin();
    for (const PageLine& line : lines) {
        page.match(line);
    }
    page.end();
    EXPECT_TRUE(writer.close());
    return text;
}

TEST(DayPage, DayHeadingsNameEveryWeekdayAndMonth) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"29/02/2016", "luned&igrave; 29 febbraio 2016"},
        {"29/02/00", "marted&igrave; 29 febbraio 2000"},
        {"31/12/99", "venerd&igrave; 31 dicembre 1999"},
        {"01/01/00", "sabato 1 gennaio 2000"},
        {"04/10/2026", "domenica 4 ottobre 2026"},
        {"29/02/2024", "gioved&igrave; 29 febbraio 2024"},
        {"17/03/2027", "mercoled&igrave; 17 marzo 2027"},
        {"18/04/26", "sabato 18 aprile 2026"},
        {"09/05/2025", "venerd&igrave; 9 maggio 2025"},
        {"01/06/2026", "luned&igrave; 1 giugno 2026"},
        {"22/07/2026", "mercoled&igrave; 22 luglio 2026"},
        {"15/08/2026", "sabato 15 agosto 2026"},
        {"30/09/2026", "mercoled&igrave; 30 settembre 2026"},
        {"11/11/2026", "mercoled&igrave; 11 novembre 2026"},
        // No such days: the lines go to the end of the page.
        {"29/02/1900", ""},
        {"29/02/2100", ""},
        {"29/02/99", ""},
    };
    for (const auto& [date, heading] : rows) {
        const std::string line = "1 " + date + " 18:00 PalaA A - B";
        const std::string page =
            page_of({{.line = line, .width = 2, .year_digits = date.size() == 10 ? 4 : 2}});
        const std::size_t start = page.find("<h2>") + 4;
        const std::string found = page.substr(start, page.find("</h2>") - start);
        EXPECT_EQ(found, heading.empty() ? "Da controllare" : heading) << date;
    }
}

double luminance(std::string_view colour) {
    double sum = 0;
    for (const auto& [place, weight] : {std::pair{1u, 0.2126}, {3u, 0.7152}, {5u, 0.0722}}) {
        const double c = std::stoi(std::string(colour.substr(place, 2)), nullptr, 16) / 255.0;
        sum += weight * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

double contrast(std::string_view one, std::string_view two) {
    const double a = luminance(one) + 0.05;
    const double b = luminance(two) + 0.05;
    return a > b ? a / b : b / a;
}

TEST(DayPage, TagsAndTextMeetContrast) {
    std::vector<std::pair<std::string_view, std::string_view>> pairs = {{PAGE_TEXT, PAGE_GROUND},
                                                                        {PAGE_TEXT, DAY_GROUND},
                                                                        {PLACE_TEXT, PAGE_GROUND},
                                                                        {NOTE_TEXT, PAGE_GROUND}};
    for (std::size_t i = 0; i < TAG_COLOURS.size(); ++i) {
        pairs.emplace_back(TAG_TEXT, TAG_COLOURS[i]);     // on screen
        pairs.emplace_back(TAG_COLOURS[i], PAGE_GROUND);  // in print
        for (std::size_t k = 0; k < i; ++k) {
            EXPECT_NE(TAG_COLOURS[i], TAG_COLOURS[k]);
        }
    }
    for (const auto& [text, ground] : pairs) {
        EXPECT_GE(contrast(text, ground), 4.5) << text << " on " << ground;
    }
    EXPECT_EQ(calendar_tag("squadre/u17.txt"), "u17");
    EXPECT_EQ(calendar_tag("C:\\stagione\\prima.squadra.txt"), "prima.squadra");
    EXPECT_EQ(calendar_tag(".u17"), ".u17");
    // The ninth calendar takes the first one's colour again.
    const std::string page =
        page_of({{.line = "1 04/10/26 18:00 P A", .width = 2, .calendar = 8, .tag = "u9"}});
    EXPECT_NE(page.find("<span class=\"tag c0\">u9</span>"), std::string::npos);
}

TEST(DayPage, WholePageThroughTheMerge) {
    // Calendar 1 in UTF-8 with markup in it, calendar 2 in Windows-1252 with a day that does not
    // exist, a line out of place and a line longer than the reader's buffer; calendar 1 ends first.
    StringInput one(
        "Girone <A>\n1 04/10/2026 18:00 Pala\"X\" Citt\xC3\xA0 & Co <b>\n"
        "2 05/10/2026 09:30 PalaY\tA-B\n");
    StringInput two("7 04/10/26 18:00 Palaz\xE8tto Tre\x01 'e' \xE8\r\n10 05/10/26 21:00 P " +
                    std::string(40, 'w') + "\n8 31/10/26 25:00 P <i>\n9 4/10/26 X\n");
    LineReader reader_one(one);
    LineReader reader_two(two, 24);
    Calendar first{reader_one, 4};
    Calendar second{reader_two, 2};
    std::string warnings;
    const auto warn = [&](std::string_view text) { warnings += text; };
    LineCheck check_one("prima.txt", 4, warn);
    LineCheck check_two("squadre/u17.txt", 2, warn);
    first.check = &check_one;
    second.check = &check_two;
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    DayPage page(writer, {"Lorvane <2026>"});
    PageMatches lines(page, writer, {{&first, "prima.txt"}, {&second, "squadre/u17.txt"}});
    page.begin();
    EXPECT_EQ(merge(first, second, lines), 6);
    page.end();
    ASSERT_TRUE(writer.close());

    const std::size_t style = text.find("<style>\n") + 8;
    text.replace(style, text.find("</style>") - style, "");
    EXPECT_EQ(text,
              "<!doctype html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n"
              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
              "<title>Lorvane &lt;2026&gt;</title>\n<style>\n</style>\n</head>\n<body>\n"
              "<h1>Lorvane &lt;2026&gt;</h1>\n"
              "<section>\n<h2>domenica 4 ottobre 2026</h2>\n<ul>\n"
              "<li><time>18:00</time> <strong>Citt\xC3\xA0 &amp; Co "
              "&lt;b&gt;</strong> <em>Pala&quot;X&quot;</em> <span "
              "class=\"tag c0\">prima</span></li>\n"
              "<li><time>18:00</time> <strong>Tre &#39;e&#39; "
              "\xC3\xA8</strong> <em>Palaz\xC3\xA8tto</em> <span "
              "class=\"tag c1\">u17</span></li>\n"
              "</ul>\n</section>\n<section>\n<h2>luned&igrave; 5 ottobre 2026</h2>\n<ul>\n"
              "<li><time>09:30</time> <strong>A-B</strong> <em>PalaY</em> <span "
              "class=\"tag c0\">prima</span></li>\n"
              "<li><time>21:00</time> <strong>" +
                  std::string(40, 'w') +
                  "</strong> <em>P</em> <span class=\"tag "
                  "c1\">u17</span></li>\n"
                  "</ul>\n</section>\n<section>\n<h2>Da controllare</h2>\n<ul>\n"
                  "<li>squadre/u17.txt, riga 3:<br><code>8 31/10/26 25:00 P "
                  "&lt;i&gt;</code></li>\n"
                  "<li>squadre/u17.txt, riga 4:<br><code>9 4/10/26 X</code></li>\n"
                  "</ul>\n</section>\n</body>\n</html>\n");
    EXPECT_EQ(warnings,
              "gironario: squadre/u17.txt:3: gara 8 del 31/10/26 alle 25:00: data o ora "
              "inesistente, la gara \xE8 in fondo alla pagina, sotto \"Da controllare\"\n"
              "gironario: squadre/u17.txt:4: la data o l'ora non \xE8 dove viene cercata "
              "(gg/mm/aa hh:mm)\n");
}

TEST(DayPage, NoMarkupFromALine) {
    // Each character markup could be made of, and the control characters, in the eight-byte
    // words of a line and in its last bytes.
    const std::pair<char, std::string> rows[] = {{'<', "&lt;"},   {'>', "&gt;"},   {'&', "&amp;"},
                                                 {'"', "&quot;"}, {'\'', "&#39;"}, {'\x7F', ""},
                                                 {'\x01', ""}};
    for (const auto& [c, written] : rows) {
        for (const std::size_t pad : {0u, 3u}) {
            const std::string line = "1 04/10/26 18:00 P A" + std::string(pad, 'b') + c + "b";
            const std::string page = page_of({{.line = line, .width = 2}});
            const std::size_t start = page.find("<strong>") + 8;
            EXPECT_EQ(page.substr(start, page.find("</strong>") - start),
                      "A" + std::string(pad, 'b') + written + "b")
                << line;
        }
    }
}

TEST(DayPage, ClashNoteBesideTheMatch) {
    PageLine line{.line = "3 04/10/26 16:30 PalaLorvane U17 - Pisa", .width = 2};
    line.tag = "u17";
    line.clash_note = "anche Lorvane - Arezzo <prima>";
    EXPECT_NE(page_of({line}).find("</span><span class=\"nota\">&#9888; anche Lorvane - Arezzo "
                                   "&lt;prima&gt;</span></li>"),
              std::string::npos);
}

}  // namespace
}  // namespace gironario
