#include "calendar/listing_line.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gironario {
namespace {

// A line read after the lines `before` (a heading, a header row), on the run's day 15/01/2026,
// as "number|dd/mm/yyyy hh:mm|place|title|home|away|line", or what else it was.
std::string listed(std::string_view before, std::string_view line) {
    static const std::vector<std::string> places = {"Stadio Comunale di Borgo", "Palestra Pascoli"};
    ListingState state;
    state.years.today = {2026, 1, 15};
    MatchRecord match;
    for (std::size_t start = 0; start < before.size();) {
        const std::size_t end = std::min(before.find('\n', start), before.size());
        read_listing_line(before.substr(start, end - start), false, 1, &places, state, match);
        start = end + 1;
    }
    switch (read_listing_line(line, false, 7, &places, state, match)) {
        case ListingLine::other:
            return "other";
        case ListingLine::heading:
            return "heading";
        case ListingLine::header:
            return "header";
        case ListingLine::match:
            break;
    }
    std::string when;
    append_date_time(when, match.at);
    return match.number + "|" + when + "|" + match.place + "|" + match.title + "|" + match.home +
           "|" + match.away + "|" + match.line;
}

TEST(ListingLine, Layouts) {
    const struct {
        std::string_view before;
        std::string_view line;
        std::string_view expected;
    } cases[] = {
        {"", "1a Giornata \xE2\x80\x93 5 settembre", "heading"},
        {"1a Giornata - 5 settembre", "ore 17.30 Alfa-Beta",
         "7|05/09/2025 17:30||Alfa-Beta|||7 05/09/25 17:30 - Alfa-Beta"},
        {"", "ore 17.30 Alfa-Beta", "other"},
        {"Giornata 1 - 5/9", "Alfa-Beta 31/02/2026 18:00", "other"},
        // Prose: the number, the date, the time and their words are not the title.
        {"", "1 \xE2\x80\x93 Alfa-Beta (marted\xEC 1 giugno, Stadio Comunale di Borgo ore 16:00)",
         "1|01/06/2026 16:00|Stadio Comunale di Borgo|Alfa-Beta (Stadio Comunale di Borgo)|||"
         "1 01/06/26 16:00 Stadio\xA0"
         "Comunale\xA0"
         "di\xA0"
         "Borgo Alfa-Beta (Stadio Comunale di Borgo)"},
        {"", "N. 12 - Alfa - Beta, domenica 3 maggio alle ore 21.",
         "12|03/05/2026 21:00||Alfa - Beta|||12 03/05/26 21:00 - Alfa - Beta"},
        // Columns, without a header: teams, then the place; a label before the time.
        {"", "   12) ALFA CALCIO        BETA SPORT       COMUNALE VIA ROMA  05/10/25 15:30",
         "12|05/10/2025 15:30|COMUNALE VIA ROMA|ALFA CALCIO - BETA SPORT|ALFA CALCIO|BETA SPORT|"
         "12 05/10/25 15:30 COMUNALE\xC2\xA0VIA\xC2\xA0ROMA ALFA CALCIO - BETA SPORT"},
        {"Domenica 18 Ottobre 2015", "1 | U14 | 9.00 | Alfa | Beta |",
         "1|18/10/2015 09:00||U14 Alfa - Beta|Alfa|Beta|1 18/10/15 09:00 - U14 Alfa - Beta"},
        {"", "sab 4/10\t18:00\tAlfa - Beta",
         "7|04/10/2025 18:00||Alfa - Beta|||7 04/10/25 18:00 - Alfa - Beta"},
        // With a header row: by place, or by kind where the row has more cells.
        {"", "Ora | Squadra A | Squadra B | Campo", "header"},
        {"Sabato 04/10/2025\nN. | Ora | Squadra 1 | Squadra 2 | Campo",
         "3 | 18:00 | Alfa | \xE2\x80\x93 | Palestra Pascoli",
         "3|04/10/2025 18:00|Palestra Pascoli|Alfa|Alfa||"
         "3 04/10/25 18:00 Palestra\xC2\xA0Pascoli Alfa"},
        {"Sabato 04/10/2025\nOra | Squadra A | Squadra B", "2 | U14 | 9.00 | Alfa | Beta",
         "2|04/10/2025 09:00||U14 Alfa - Beta|Alfa|Beta|2 04/10/25 09:00 - U14 Alfa - Beta"},
        // Today's order with lenient dates, the year from the file's latest date.
        {"Stagione 20 dicembre 2025", "  446 Sab 3/1 ore 15:30 Palestra Pascoli Alfa - Beta",
         "446|03/01/2026 15:30|Palestra Pascoli|Alfa - Beta|||"
         "446 03/01/26 15:30 Palestra\xC2\xA0Pascoli Alfa - Beta"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(listed(c.before, c.line), c.expected) << c.line;
    }
}

}  // namespace
}  // namespace gironario
