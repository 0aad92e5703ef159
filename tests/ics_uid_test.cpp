#include "export/ics_uid.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gironario {
namespace {

// One run's UIDs in the order its matches come: each number counted in its own calendar.
TEST(IcsUid, UidsOfARun) {
    const IcsSource u17{"u17.txt", "u17", 0, 0, 1};
    const IcsSource again{"u17.txt", "u17", 2, 1, 1};  // another folder's u17.txt
    const IcsSource feed{"squadra;1.ics", "squadra;1", 0, 2, 1};
    const struct {
        const IcsSource& source;
        std::string_view number;
        std::string_view source_uid;
        std::string_view identity;
        std::string_view uid;
    } rows[] = {
        {u17, "7", "", "", "7-1-u17.txt@gironario"},
        {u17, "0042", "", "", "0042-1-u17.txt@gironario"},
        {u17, "7", "", "", "7-2-u17.txt@gironario"},
        {again, "7", "", "", "7-1.2-u17.txt@gironario"},
        {feed, "7", "a,b@app", "", "a\\,b@app-squadra\\;1.ics@gironario"},
        {feed, "8", "a,b@app", "", "a\\,b@app.2-squadra\\;1.ics@gironario"},
        {feed, "7", "", "", "7-1-squadra\\;1.ics@gironario"},
        {u17, "7", "", "00ff", "7-3-u17.txt-00ff@gironario"},
    };
    IcsUids uids;
    for (const auto& row : rows) {
        uids.set_identity(row.identity);
        std::string uid;
        uids.append(uid, row.source, row.number, row.source_uid);
        EXPECT_EQ(uid, row.uid);
    }
}

// A match known by its own identity: a feed's UID alone, a table's code with its league, else
// with its file name less a copy mark, counted over the run; and the UID that 1.3.0 made of it.
// The others as 1.3.0 made them.
TEST(IcsUid, MatchesByTheirIdentity) {
    const struct {
        MatchSource source;
        std::string_view file_name, number, code, league, feed_uid;
        std::string_view uid, earlier;
    } rows[] = {
        {MatchSource::icalendar, "app (1).ics", "3", "", "", "a,1@app", "a\\,1@app-00ff@gironario",
         "a\\,1@app-app (1).ics-00ff@gironario"},
        {MatchSource::table, "Gare (1).csv", "443", "443", "U17", "", "gara-443-U17-00ff@gironario",
         "443-1-Gare (1).csv-00ff@gironario"},
        {MatchSource::table, "Gare - Copia (2).csv", "443", "443", "", "",
         "gara-443-Gare.csv-00ff@gironario", "443-1-Gare - Copia (2).csv-00ff@gironario"},
        {MatchSource::table, "Gare(2).csv", "443", "443", "", "",
         "gara-443-Gare.csv.2-00ff@gironario", "443-1-Gare(2).csv-00ff@gironario"},
        {MatchSource::table, "Gare (2025).csv", "443", "443", "", "",
         "gara-443-Gare (2025).csv-00ff@gironario", "443-1-Gare (2025).csv-00ff@gironario"},
        {MatchSource::table, "Gare (1).csv", "7", "", "U17", "", "7-1-Gare (1).csv-00ff@gironario",
         ""},
        {MatchSource::text, "u17 (1).txt", "7", "", "", "", "7-1-u17 (1).txt-00ff@gironario", ""},
    };
    IcsUids uids;
    uids.set_identity("00ff");
    std::size_t calendar = 0;
    for (const auto& row : rows) {
        MatchRecord match;
        match.source = row.source;
        match.number = row.number;
        match.code = row.code;
        match.league = row.league;
        match.uid = row.feed_uid;
        std::string uid, earlier;
        const bool by_identity =
            uids.append(uid, earlier, IcsSource{row.file_name, "", 0, calendar++, 1}, match);
        EXPECT_EQ(uid + ' ' + earlier, std::string(row.uid) + ' ' + std::string(row.earlier));
        EXPECT_EQ(by_identity, !row.earlier.empty());
    }
}

// With SOURCE_DATE_EPOCH the same run gives the same identity; each part changes it.
TEST(IcsUid, Identities) {
    const struct {
        const char* epoch;
        std::string_view name;
    } rows[] = {{"1700000000", "calendario.ics"},
                {"1700000001", "calendario.ics"},
                {"1700000000", "u17.ics"},
                {"", "calendario.ics"},
                {nullptr, "calendario.ics"}};
    std::vector<std::string> made;
    for (const auto& row : rows) {
        made.push_back(new_calendar_identity(row.epoch, row.name));
        EXPECT_EQ(made.back().find_first_not_of("0123456789abcdef"), std::string::npos);
        EXPECT_EQ(made.back().size(), 16u);
        for (std::size_t i = 0; i + 1 < made.size(); ++i) {
            EXPECT_NE(made[i], made.back()) << row.name;
        }
    }
    EXPECT_EQ(new_calendar_identity("1700000000", "calendario.ics"), made[0]);
}

}  // namespace
}  // namespace gironario
