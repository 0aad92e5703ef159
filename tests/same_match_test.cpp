#include "export/same_match.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace gironario {
namespace {

// What the format's sink is given: each entry's calendar and tags, and in brackets the records
// that another stands for.
class Entries final : public OnceSink {
  public:
    explicit Entries(std::span<const Calendar> calendars) : tags_(calendars, nullptr) {}
    void match(const MatchRecord& match, const BookedWith*) override {
        text += std::to_string(match.calendar) + ':';
        for (const MatchTag& tag : tags_with(tags_, match, also(), list_)) {
            text += ' ' + std::string(tag.name);
        }
        text += "; ";
    }
    void repeated(const MatchRecord& match) override {
        text += '(' + std::to_string(match.calendar) + ") ";
    }
    void day_break() override {}
    bool failed() const override { return false; }
    std::string text;

  private:
    MatchTags tags_;
    std::vector<MatchTag> list_;
};

// A record of calendar `calendar`, `minute` minutes after 18:00, from
// "place|title|code|league|uid".
MatchRecord record(std::size_t calendar, MatchSource source, int minute, std::string fields) {
    std::vector<std::string> part(1);
    for (const char c : fields) {
        if (c == '|') {
            part.emplace_back();
        } else {
            part.back() += c;
        }
    }
    part.resize(5);
    MatchRecord match;
    match.calendar = calendar;
    match.line_number = minute + 2;
    match.source = source;
    match.number = part[2].empty() ? "7" : part[2];
    match.place = part[0];
    match.title = part[1];
    match.code = part[2];
    match.league = part[3];
    match.uid = part[4];
    match.line = match.number + ' ' + fields;
    set_row_start(match, LocalTime{2026, 10, 4, 18, minute});
    return match;
}

// Two records of a run: one entry with the tags of both, or two; each record that another
// stands for told once.
TEST(SameMatches, PairsOfRecords) {
    const auto text = MatchSource::text, table = MatchSource::table;
    const MatchSource feed = MatchSource::icalendar;
    const std::vector<std::pair<std::array<MatchRecord, 2>, std::string>> rows = {
        // By a code and its league, a code and its file name less its copy mark, a feed's UID.
        {{record(2, table, 0, "PalaA|A - B|443|U17"), record(3, table, 0, "PalaB|X|443|U17")},
         "2: U17; (3) "},
        {{record(2, table, 0, "PalaA|A - B|443"), record(3, table, 0, "PalaA|A - C|443")},
         "2: Gare Gare (1); (3) "},
        {{record(2, table, 0, "PalaA|A - B|443"), record(4, table, 0, "PalaA|A - C|443")},
         "2: Gare; 4: Altre; "},
        {{record(0, feed, 0, "PalaA|A - B|||e@app"), record(1, feed, 90, "PalaA|A - B|||e@app")},
         "0: u17; (1) "},
        // By start, place and title as people type them, whatever each calendar is.
        {{record(0, text, 0, "PalaA|Alfa - Beta"), record(1, text, 0, "palaa|ALFA  -  beta")},
         "0: u17 u15; (1) "},
        {{record(0, text, 0, "Pala A|Citt\xE0 - Beta"),
          record(2, table, 0, "Pala  A|Citta - Beta|9")},
         "0: u17 Gare; (2) "},
        // Not the same: one calendar's own two lines, another time.
        {{record(0, text, 0, "PalaA|Alfa - Beta"), record(0, text, 0, "PalaA|Alfa - Beta")},
         "0: u17; 0: u17; "},
        {{record(0, text, 0, "PalaA|Alfa - Beta"), record(1, text, 30, "PalaA|Alfa - Beta")},
         "0: u17; 1: u15; "},
    };
    std::vector<PreparedCalendar> none(5);
    std::vector<Calendar> calendars;
    for (const char* name : {"u17.txt", "u15.txt", "Gare.csv", "Gare (1).csv", "Altre.csv"}) {
        calendars.emplace_back(none[calendars.size()], name);
    }
    for (const auto& [pair, expected] : rows) {
        std::string warnings;
        CalendarChecks checks(calendars, [&](std::string_view line) { warnings += line; });
        Entries entries(calendars);
        SameMatches once(entries, checks, calendars, "calendario.ics");
        once.match(pair[0], nullptr);
        once.match(pair[1], nullptr);
        once.finish();
        EXPECT_EQ(entries.text, expected) << pair[1].title;
        EXPECT_EQ(std::count(warnings.begin(), warnings.end(), '\n'), once.repeats());
    }
}

}  // namespace
}  // namespace gironario
