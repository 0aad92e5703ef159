#include "calendar/team_filter.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gironario {
namespace {

TEST(TeamFilter, KeepsTextsNamingAWantedTeam) {
    const struct {
        std::vector<std::string> wanted;
        std::string_view text;
        bool utf8;
        bool kept;
    } cases[] = {
        {{"Lorvane"}, "POL. LORVANE  Volley - Beta", true, true},
        {{"Lorvane"}, "Lorvano - Beta", true, false},
        {{"citt\xC3\xA0 volley"}, "Alfa - Citt\xE0 \t Volley", false, true},
        {{"Citt\xE0"}, "CITT\xC3\x80 VOLLEY", true, true},
        {{"Citta"}, "Citt\xC3\xA8", true, false},
        {{"sant'anna"},
         "SANT\x92"
         "ANNA",
         false,
         true},
        {{"Lorvane U17"}, "Lorvane\xA0U17 - Beta", false, true},
        {{"Lorvane U17"}, "Lorvane U15 - Beta", true, false},
        {{"  lorvane   u17 "}, "Lorvane U17", true, true},
        {{"Alfa", "Beta"}, "Gamma - Beta", true, true},
        {{}, "Gamma - Delta", true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TeamFilter(c.wanted).keeps(c.text, c.utf8), c.kept) << c.text;
    }
}

}  // namespace
}  // namespace gironario
