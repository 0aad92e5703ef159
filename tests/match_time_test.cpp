#include "calendar/match_time.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace gironario {
namespace {

// The month of a line's date: its first minute and its length, or none.
TEST(MatchTime, MonthOfALine) {
    const struct {
        std::string_view line;
        int number_offset;
        int year_digits;
        LocalTime first;  // year 0 for no month
        int days;
    } rows[] = {
        {"101 15/02/24 18:00", 0, 2, {2024, 2, 1}, 29},
        {"101 15/02/23 18:00", 0, 2, {2023, 2, 1}, 28},
        {"7 01/12/68 18:00", 2, 2, {2068, 12, 1}, 31},
        {"7 01/12/69 18:00", 2, 2, {1969, 12, 1}, 31},
        {"1001 01/04/26 18:00", -1, 2, {2026, 4, 1}, 30},
        {"101 15/02/1900 18:00", 0, 4, {1900, 2, 1}, 28},
        {"101 01/13/24 18:00", 0, 2, {}, 0},
        {"101 01/01/0000 18:00", 0, 4, {}, 0},
    };
    for (const auto& row : rows) {
        const MatchMonth month = match_month(row.line, row.number_offset, row.year_digits);
        EXPECT_EQ(month.start, row.first.year == 0 ? -1 : minute_number(row.first)) << row.line;
        EXPECT_EQ(month.days, row.days) << row.line;
    }
}

// A match's end, across the days, months and years, and the last minute there is.
TEST(MatchTime, MinutesAdded) {
    const struct {
        LocalTime start;
        int minutes;
        std::optional<LocalTime> end;
    } rows[] = {
        {{2026, 10, 4, 18, 30}, 0, LocalTime{2026, 10, 4, 18, 30}},
        {{2026, 12, 31, 23, 30}, 45, LocalTime{2027, 1, 1, 0, 15}},
        {{2024, 2, 28, 23, 0}, 120, LocalTime{2024, 2, 29, 1, 0}},
        {{2023, 2, 28, 23, 0}, 120, LocalTime{2023, 3, 1, 1, 0}},
        {{1, 1, 1, 0, 0}, 1440 * 365, LocalTime{2, 1, 1, 0, 0}},
        {{9999, 12, 31, 23, 0}, 59, LocalTime{9999, 12, 31, 23, 59}},
        {{9999, 12, 31, 23, 0}, 60, std::nullopt},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(add_minutes(row.start, row.minutes), row.end) << row.minutes;
        if (row.end) {
            const long long end = minute_number(row.start) + row.minutes;
            EXPECT_EQ(minute_number(*row.end), end);
            EXPECT_EQ(local_time(end), *row.end);
        }
    }
    EXPECT_EQ(minute_number({1, 1, 1, 0, 0}), 0);
}

}  // namespace
}  // namespace gironario
