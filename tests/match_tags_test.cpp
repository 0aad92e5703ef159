#include "export/match_tags.hpp"

#include <gtest/gtest.h>

#include "calendar/prepared_source.hpp"
#include "string_calendars.hpp"

namespace gironario {
namespace {

// "NAME/COLOUR" of each tag, as the page and CATEGORIES take them.
std::string shown(std::span<const MatchTag> tags) {
    std::string text;
    for (const MatchTag& tag : tags) {
        text += std::string(tag.name) + "/" + std::to_string(tag.colour) + " ";
    }
    return text + "| " + categories_of(tags);
}

TEST(MatchTags, TeamsThenLeagueThenCalendar) {
    StringCalendars calendars({{"", 2}, {"", 2}});
    const std::vector<std::string> wanted = {"Lorvane U14", "olimpia"};
    const TeamFilter teams(wanted);
    const PreparedCalendar table =
        prepare_calendar(CalendarKind::table,
                         "Data;Ora;Campionato;Casa;Ospite\n04/10/2026;18:00;U14 F;Alfa;Beta\n"
                         "05/10/2026;18:00;;Gamma;Delta\n06/10/2026;18:00;U16, F;Eta;Zeta\n");
    const struct {
        const TeamFilter* teams;
        MatchRecord match;
        std::string expected;
    } rows[] = {
        {&teams, *LineRecord("1 04/10/26 18:00 P Lorvane U14 - Olimpia"),
         "Lorvane U14/0 olimpia/1 | Lorvane U14,olimpia"},
        {&teams, *LineRecord("2 04/10/26 18:00 P LORVANE  U14 - Borgo", 2, 1),
         "Lorvane U14/0 | Lorvane U14"},
        // Naming no team asked for, or with none asked, the league, else the calendar.
        {&teams, table.dated[0], "U14 F/2 | U14 F"},
        {nullptr, table.dated[1], "prima/0 | prima"},
        {nullptr, table.dated[2], "U16, F/2 | U16\\, F"},
        {nullptr, *LineRecord("2 04/10/26 18:00 P Lorvane U14 - Borgo", 2, 1), "u17/1 | u17"},
    };
    calendars.calendars[0] = Calendar(calendars.readers[0], 2, "squadre/prima.txt");
    calendars.calendars[1] = Calendar(calendars.readers[1], 2, "u17.txt");
    MatchTags with_teams(calendars.calendars, &teams);
    MatchTags without(calendars.calendars, nullptr);
    for (const auto& row : rows) {
        EXPECT_EQ(shown((row.teams != nullptr ? with_teams : without).of(row.match)), row.expected)
            << row.match.line;
    }
}

}  // namespace
}  // namespace gironario
