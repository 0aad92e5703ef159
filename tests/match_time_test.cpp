#include "calendar/match_time.hpp"

#include <gtest/gtest.h>

#include <optional>

namespace gironario {
namespace {

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
