#include "calendar/calendar_line.hpp"

#include <gtest/gtest.h>

namespace gironario {
namespace {

TEST(CalendarLine, MatchLines) {
    EXPECT_TRUE(is_match_line("7 01/09/07 15:30 Campo1 A - B"));
    EXPECT_TRUE(is_match_line("45 01/09/07 15:30 Campo1 A - B"));
    EXPECT_FALSE(is_match_line(""));
    EXPECT_FALSE(is_match_line("5"));
    EXPECT_FALSE(is_match_line("5x 01/09/07"));
    EXPECT_FALSE(is_match_line(" 5 01/09/07"));
    EXPECT_FALSE(is_match_line("5\t01/09/07"));
    EXPECT_FALSE(is_match_line("Girone di andata"));
    EXPECT_FALSE(
        is_match_line("\xEF\xBB\xBF"
                      "1 01/09/07 15:30 Campo1 A - B"));
}

}  // namespace
}  // namespace gironario
