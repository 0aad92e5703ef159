#include "calendar/clash_check.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "string_calendars.hpp"

namespace gironario {
namespace {

// Calendars 0 and 1 write two-digit years, calendar 2 four-digit ones.
const std::string names[] = {"prima.txt", "u17.txt", "u15.txt"};

struct Taken {
    std::size_t calendar;
    std::string line;
};

struct Row {
    const char* name;
    ClashSettings settings;
    std::vector<Taken> merged;  // in merged order
    std::string warnings;
    std::string booked{};  // "<later>><earlier> " for each line that take() finds booked
};

// `count` matches at PalaX, five minutes apart, taken in turn from calendars 0 and 1.
std::vector<Taken> crowd(int count) {
    std::vector<Taken> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back({static_cast<std::size_t>(i % 2),
                         "1 01/02/26 10:" + std::to_string(10 + 5 * i) + " PalaX A - B"});
    }
    return lines;
}

std::string told(int later_calendar, int later_line, const std::string& reason) {
    return "gironario: " + std::string(names[later_calendar]) + ":" + std::to_string(later_line) +
           ": " + reason + "\n";
}

std::string ten_told() {
    std::string text;
    for (int i = 2; i <= 5; ++i) {
        for (int j = 1; j < i; ++j) {
            text +=
                told((i - 1) % 2, (i + 1) / 2,
                     "PalaX \xE8 occupato anche dalla gara 1 di " +
                         std::string(names[(j - 1) % 2]) + " (riga " + std::to_string((j + 1) / 2) +
                         "), 01/02/2026 10:" + std::to_string(5 + 5 * j) +
                         "-12:" + std::to_string(5 + 5 * j));
        }
    }
    return text;
}

const std::string lorvane = "3 04/10/26 16:30 PalaLorvane Prima - Alfa";
const std::string booked_lorvane =
    "PalaLorvane \xE8 occupato anche dalla gara 3 di prima.txt (riga 1), 04/10/2026 16:30-18:30";

const std::string booked_second =
    " \xE8 occupato anche dalla gara 2 di u17.txt (riga 1), 04/10/2026 19:00-21:00";

// clang-format off
const std::vector<Row> rows = {
    {"same gym, any case, overlapping", {},
     {{0, lorvane}, {1, "14 04/10/26 18:29 PALALORVANE U17 - B"}},
     told(1, 1, "PALALORVANE" + booked_lorvane.substr(11)), "u17.txt:1>prima.txt:1 "},
    {"same gym touching, other gyms at once", {},
     {{0, lorvane}, {1, "1 04/10/26 17:00 PalaB U - B"}, {1, "1 04/10/26 18:30 PalaLorvane U - C"}}, ""},
    {"three at once, one calendar among them", {},
     {{0, lorvane}, {0, "4 04/10/26 17:00 PalaLorvane P - B"}, {1, "9 04/10/26 17:30 PalaLorvane X"}},
     told(0, 2, booked_lorvane) + told(1, 1, booked_lorvane) +
         told(1, 1, "PalaLorvane \xE8 occupato anche dalla gara 4 di prima.txt (riga 2), 04/10/2026 17:00-19:00"),
     "prima.txt:2>prima.txt:1 u17.txt:1>prima.txt:1 "},
    // The derby in both calendars, and a match listed twice in one: the clashes of the second
    // listing were told with the first.
    {"the same match twice", {},
     {{0, lorvane}, {1, "7 04/10/26 16:30 palalorvane Prima\t- Alfa "}, {2, "2 04/10/2026 16:30 PalaLorvane"},
      {2, "5 04/10/2026 16:30 PalaLorvane"}, {1, "8 04/10/26 17:00 PalaLorvane U - C"}},
     // Listed twice, a match still tells its own clashes, and clashes once.
     told(2, 1, booked_lorvane) + told(2, 2, booked_lorvane) + told(1, 2, booked_lorvane) +
         told(1, 2, "PalaLorvane \xE8 occupato anche dalla gara 2 di u15.txt (riga 1), 04/10/2026 16:30-18:30"),
     "u15.txt:1>prima.txt:1 u15.txt:2>prima.txt:1 u17.txt:2>prima.txt:1 "},
    {"across midnight and the year", {.duration_minutes = 90},
     {{2, "1 31/12/2026 23:00 Pala A"}, {0, "2 01/01/27 00:29 Pala B"}, {1, "3 01/01/27 00:30 PALA C"}},
     told(0, 1, "Pala \xE8 occupato anche dalla gara 1 di u15.txt (riga 1), 31/12/2026 23:00-01/01/2027 00:30") +
         told(1, 1, "PALA \xE8 occupato anche dalla gara 2 di prima.txt (riga 1), 01/01/2027 00:29-01:59"),
     "prima.txt:1>u15.txt:1 u17.txt:1>prima.txt:1 "},
    {"overlaps between calendars", {.duration_minutes = 30, .overlaps = true},
     {{0, lorvane}, {0, "4 04/10/26 16:45 PalaB P - C"}, {1, "2 04/10/26 16:59 PalaSanMarco"},
      {1, "3 04/10/26 17:15 PalaC"}},
     told(1, 1, "si sovrappone alla gara 3 di prima.txt (riga 1), a PalaLorvane, 04/10/2026 16:30-17:00") +
         told(1, 1, "si sovrappone alla gara 4 di prima.txt (riga 2), a PalaB, 04/10/2026 16:45-17:15")},
    {"a match listed twice tells its own overlaps", {.overlaps = true},
     {{0, "504 20/03/19 15:00 Palazzetto Iota - Virtus"}, {1, "10003 20/03/19 15:00 Pala<b> X - Y"},
      {0, "505 20/03/19 15:00 PalaB Zeta - Delta"}, {1, "10004 20/03/19 15:00 PalaB Zeta - Delta"}},
     told(1, 1, "si sovrappone alla gara 504 di prima.txt (riga 1), a Palazzetto, 20/03/2019 15:00-17:00") +
         told(0, 2, "si sovrappone alla gara 10003 di u17.txt (riga 1), a Pala<b>, 20/03/2019 15:00-17:00") +
         told(1, 2, "si sovrappone alla gara 504 di prima.txt (riga 1), a Palazzetto, 20/03/2019 15:00-17:00")},
    {"overlaps not asked", {.duration_minutes = 30}, {{0, lorvane}, {1, "2 04/10/26 16:59 PalaSanMarco"}}, ""},
    // The last ends at 00:00 of the year 10000.
    {"undated, placeless and too late", {},
     {{0, lorvane}, {0, "5 31/09/26 17:00 PalaLorvane"}, {1, "6 04/10/26 1x:00 PalaLorvane"},
      {1, "7 04/10/26 17:00"}, {0, "8 04/10/26 17:10"}, {2, "8 31/12/9999 21:00 Pala"},
      {2, "9 31/12/9999 22:00 Pala X"}}, ""},
    // Out of order: compared with what is kept, and kept itself for the matches after it.
    {"a line out of order", {},
     {{0, lorvane}, {1, "2 04/10/26 19:00 PalaLorvane"}, {1, "3 04/10/26 17:30 PalaLorvane"},
      {1, "4 04/10/26 19:15 PalaLorvane"}},
     told(1, 2, "PalaLorvane" + booked_second) +
         told(1, 3, "PalaLorvane \xE8 occupato anche dalla gara 3 di u17.txt (riga 2), "
                    "04/10/2026 17:30-19:30") +
         told(1, 3, "PalaLorvane" + booked_second),
     "u17.txt:2>u17.txt:1 u17.txt:3>u17.txt:2 "},
    // Places longer than eight bytes: read a word or two at a time, or found in a line typed
    // out of its columns; the same ends and length but another middle are another place.
    {"long places", {},
     {{0, "1 04/10/26 16:30 PalestraUnoComunale A - B"}, {1, "2 04/10/26 16:40 PalestraDueComunale"},
      {1, "3 04/10/26 16:50 PALESTRAUNOCOMUNALE\tC - D"}, {0, "4 04/10/26 17:00 PalestraDelCampo\tE"},
      {1, "5 04/10/26 17:10 palestradelcampo"}, {2, "6 4/10/2026 17:20 PalestraDelCampo"}},
     told(1, 2, "PALESTRAUNOCOMUNALE \xE8 occupato anche dalla gara 1 di prima.txt (riga 1), 04/10/2026 16:30-18:30") +
         told(1, 3, "palestradelcampo \xE8 occupato anche dalla gara 4 di prima.txt (riga 2), 04/10/2026 17:00-19:00") +
         told(2, 1, "PalestraDelCampo \xE8 occupato anche dalla gara 4 di prima.txt (riga 2), 04/10/2026 17:00-19:00") +
         told(2, 1, "PalestraDelCampo \xE8 occupato anche dalla gara 5 di u17.txt (riga 3), 04/10/2026 17:10-19:10"),
     "u17.txt:2>prima.txt:1 u17.txt:3>prima.txt:2 u15.txt:1>prima.txt:2 "},
    {"ten told, five more counted", {}, crowd(6),
     ten_told() + "gironario: altre 5 sovrapposizioni non sono elencate\n",
     "u17.txt:1>prima.txt:1 prima.txt:2>prima.txt:1 u17.txt:2>prima.txt:1 prima.txt:3>prima.txt:1 "
     "u17.txt:3>prima.txt:1 "},
};
// clang-format on

TEST(ClashCheck, WarningsInMergedOrder) {
    for (const Row& row : rows) {
        std::string warnings;
        std::string booked;
        ClashCheck check(
            row.settings, [&](std::string_view text) { warnings += text; }, names);
        long long numbers[3] = {};
        for (const Taken& taken : row.merged) {
            // Each line read as its calendar reads it, at its number there.
            const LineRecord record(taken.line, taken.calendar == 2 ? 4 : 2, taken.calendar,
                                    ++numbers[taken.calendar]);
            const MatchRecord& match = *record;
            if (const BookedWith* with = check.take(match)) {
                booked += names[taken.calendar] + ":" + std::to_string(match.line_number) + ">" +
                          names[with->calendar] + ":" + std::to_string(with->line_number) + " ";
            }
        }
        check.finish();
        EXPECT_EQ(warnings, row.warnings) << row.name;
        EXPECT_EQ(booked, row.booked) << row.name;
    }
}

}  // namespace
}  // namespace gironario
