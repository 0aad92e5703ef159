#include "calendar/typed_date.hpp"
#include "calendar/found_dates.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace gironario {
namespace {

// A cell of a date column, read as a date with its time when it holds one: "" for nothing.
std::string date_cell(std::string_view cell) {
    const auto read = read_date_and_time(cell);
    if (!read) {
        return "";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", read->date.year, read->date.month,
                  read->date.day);
    std::string result = text;
    if (read->time) {
        std::snprintf(text, sizeof text, " %02d:%02d", read->time->hour, read->time->minute);
        result += text;
    }
    EXPECT_EQ(read_date(cell).has_value(), !read->time) << cell;
    return result;
}

TEST(TypedDate, DateCells) {
    const struct {
        std::string_view cell;
        std::string_view expected;
    } cases[] = {
        {"4/10/26", "2026-10-04"},
        {" 04/10/2026 ", "2026-10-04"},
        {"4.10.2026", "2026-10-04"},
        {"4-10-26", "2026-10-04"},
        {"2026-10-04", "2026-10-04"},
        {"2026/10/4", "2026-10-04"},
        {"1/1/69", "1969-01-01"},
        {"29/02/2028", "2028-02-29"},
        {"sab 04/10/2026", "2026-10-04"},
        {"Sabato 04/10/2026", "2026-10-04"},
        {"dom, 5/10/26", "2026-10-05"},
        {"luned\xEC 6/10/26", "2026-10-06"},
        {"lunedi' 6/10/26", "2026-10-06"},
        {"18/03/26 20:30", "2026-03-18 20:30"},
        {"18/03/2026, ore 20.30", "2026-03-18 20:30"},
        {"sab 04/10/2026 h 18", "2026-10-04 18:00"},
        {"04/10/2026 20:30:00", "2026-10-04 20:30"},
        {"2026-10-04T18:00", "2026-10-04 18:00"},
        // Not dates.
        {"", ""},
        {"31/02/2027", ""},
        {"0/1/26", ""},
        {"4/13/26", ""},
        {"4/10/026", ""},
        {"4/10", ""},
        {"104/10/26", ""},
        {"01/01/0000", ""},
        {"da definire", ""},
        {"sabbia 04/10/2026", ""},
        {"04/10/2026 da definire", ""},
        {"04/10/2026 25:00", ""},
        {"04/10/2026T18:00", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(date_cell(c.cell), c.expected) << c.cell;
    }
}

TEST(TypedDate, TimeCells) {
    const struct {
        std::string_view cell;
        std::optional<ClockTime> expected;
    } cases[] = {
        {"18:00", ClockTime{18, 0}},
        {"18.30", ClockTime{18, 30}},
        {"18,30", ClockTime{18, 30}},
        {"18.3", ClockTime{18, 30}},  // a spreadsheet's number in a time column
        {"9.0", ClockTime{9, 0}},
        {"9:05", ClockTime{9, 5}},
        {"h 18:00", ClockTime{18, 0}},
        {"H18", ClockTime{18, 0}},
        {"ore 18.00", ClockTime{18, 0}},
        {"alle 18:00", ClockTime{18, 0}},
        {"alle ore 21", ClockTime{21, 0}},
        {" 18 ", ClockTime{18, 0}},
        {"23:59:59", ClockTime{23, 59}},
        {"8:45 PM", ClockTime{20, 45}},
        {"12:05 a.m.", ClockTime{0, 5}},
        {"12 pm", ClockTime{12, 0}},
        {"13:00 pm", std::nullopt},
        {"", std::nullopt},
        {"25:00", std::nullopt},
        {"18:60", std::nullopt},
        {"18:0", std::nullopt},
        {"180", std::nullopt},
        {"da definire", std::nullopt},
        {"18:00 circa", std::nullopt},
        {"ore", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_time(c.cell), c.expected) << c.cell;
    }
}

TEST(TypedDate, TypedLines) {
    const struct {
        std::string_view line;
        std::string_view expected;  // empty: not read
        int year_two_digits;
    } cases[] = {
        {"5 8/11/2026 18:00 PalaA C - D", "5 08/11/26 18:00 PalaA C - D", 26},
        {"5\t8/11/2026\t18:00\tPalaA\tC - D", "5 08/11/26 18:00 PalaA\tC - D", 26},
        {"12 4.10.26 h. 9.30 Campo  A - B", "12 04/10/26 09:30 Campo  A - B", 26},
        {"1 4-1-99 ore 21:00 Pala", "1 04/01/99 21:00 Pala", 99},
        {"1 04/01/1999 alle 21:00 Pala", "1 04/01/99 21:00 Pala", 99},
        {"1234 4/1/26 21:00   \r", "1234 04/01/26 21:00\r", 26},
        {"1 4/1/26 21:00 Pala\r", "1 04/01/26 21:00 Pala\r", 26},
        // As people write dates and times: a weekday, a month's name, whole hours after a word.
        {"446 Sab 01/11/2025 ore 15:30 PalaA Alfa - Beta", "446 01/11/25 15:30 PalaA Alfa - Beta",
         25},
        {"4 sab. 4/10/26 18:00 Pala", "4 04/10/26 18:00 Pala", 26},
        {"7 domenica 5 settembre 2026 alle ore 17.30 P", "7 05/09/26 17:30 P", 26},
        {"8 1\xC2\xB0 marzo 27 ore 15 P", "8 01/03/27 15:00 P", 27},
        {"9 18 ott. 26 h 9 P", "9 18/10/26 09:00 P", 26},
        {"9 18 OTT 2026 18h00 P", "9 18/10/26 18:00 P", 26},
        // Not read: not the shape, or no such day or time.
        {"4 da definire", "", 0},
        {"4 4/10/2026", "", 0},
        {"4 31/02/2027 18:00 Pala", "", 0},
        {"4 4/10/2026 25:00 Pala", "", 0},
        {"4 4/10/2026 18:00Pala", "", 0},
        {"4 4/10/026 18:00 Pala", "", 0},
        {"4 4/10/26 18 Pala", "", 0},
        {"4 4/10/26 h.18:00 Pala", "", 0},
        {"4 2026-10-04 18:00 Pala", "", 0},
        {"4 lunedi 4/10/26 18 Pala", "", 0},
        {"4 4 settembrino 26 18:00 Pala", "", 0},
        {"x 4/10/26 18:00 Pala", "", 0},
        {"44/10/26 18:00 Pala", "", 0},
    };
    TypedLine reused;
    for (const auto& c : cases) {
        const auto typed = read_typed_line(c.line);
        EXPECT_EQ(read_typed_line(c.line, reused), typed.has_value()) << c.line;
        if (c.expected.empty()) {
            EXPECT_FALSE(typed) << c.line;
            continue;
        }
        ASSERT_TRUE(typed) << c.line;
        EXPECT_EQ(typed->line, c.expected);
        EXPECT_EQ(reused.line, c.expected);
        EXPECT_EQ(typed->year_two_digits, c.year_two_digits) << c.line;
    }
    const auto full = read_typed_line("5 8/11/2026 18:05 PalaA C - D");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->start, (LocalTime{2026, 11, 8, 18, 5}));
}

// The first date and time of a text, "yyyy-mm-dd hh:mm" ("-" for either not found), read in a
// file whose latest year is `latest` (0: none) on the run's day 15/01/2026.
TEST(TypedDate, DatesFoundInText) {
    const struct {
        std::string_view text;
        int latest_year;
        std::string_view expected;
    } cases[] = {
        {"1a Giornata \xE2\x80\x93 5 settembre", 0, "2025-09-05 -"},
        {"Domenica 18 Ottobre 2015", 0, "2015-10-18 -"},
        {"SABATO 04/10/2025", 0, "2025-10-04 -"},
        {"\xBB Giornata 3 - sab 11/10", 0, "2025-10-11 -"},
        {"ore 17.30 Alfa-Beta", 0, "- 17:30"},
        {"1 | U14 | 9.00 | Alfa |", 0, "- 09:00"},
        {"Alfa-Beta (marted\xEC 1 giugno, Borgo ore 16:00)", 0, "2026-06-01 16:00"},
        {"3 Ottobre 15:30", 0, "2025-10-03 15:30"},
        {"1\xC2\xB0 marzo alle ore 21", 0, "2026-03-01 21:00"},
        {"18 ott. 26 h 9 Pala", 0, "2026-10-18 09:00"},
        {"Sab. 5/9 alle 18,30", 0, "2025-09-05 18:30"},
        {"18h00 Alfa", 0, "- 18:00"},
        {"12.10", 0, "- 12:10"},
        // The year of the file's latest date, or the next once the season turns.
        {"3 gennaio ore 15", 2025, "2026-01-03 15:00"},
        {"20 dicembre 18:00", 2025, "2025-12-20 18:00"},
        // Not dates or times.
        {"Giornata 3 - 12 ore", 0, "- -"},
        {"U14 km 2.5 e 1-2", 0, "- -"},
        {"18/10/--26 31/02 orecchio 9", 0, "- -"},
        {"Girone---9 01/01/07 x", 0, "2007-01-01 -"},
        {"Girone---9.00", 0, "- -"},
        {"29/2 ore 25", 2025, "- -"},
    };
    for (const auto& c : cases) {
        YearContext years{std::nullopt, Date{2026, 1, 15}};
        if (c.latest_year != 0) {
            years.latest = Date{c.latest_year, 12, 1};
        }
        const FoundDates found = find_dates(c.text, years);
        char date[40] = "-";
        char time[40] = "-";
        if (found.date) {
            std::snprintf(date, sizeof date, "%04d-%02d-%02d", found.date->year, found.date->month,
                          found.date->day);
        }
        if (found.time) {
            std::snprintf(time, sizeof time, "%02d:%02d", found.time->hour, found.time->minute);
        }
        EXPECT_EQ(std::string(date) + " " + time, c.expected) << c.text;
    }
}

}  // namespace
}  // namespace gironario
