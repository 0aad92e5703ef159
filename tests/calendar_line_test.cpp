#include "calendar/calendar_line.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "calendar/calendar.hpp"
#include "io/byte_stream.hpp"

namespace gironario {
namespace {

TEST(CalendarLine, MatchLines) {
    EXPECT_TRUE(is_match_line("7 01/09/07 15:30 Campo1 A - B"));
    EXPECT_TRUE(is_match_line("45 01/09/07 15:30 Campo1 A - B"));
    EXPECT_TRUE(is_match_line("0 "));
    EXPECT_TRUE(is_match_line("99"));
    EXPECT_FALSE(is_match_line(""));
    EXPECT_FALSE(is_match_line("5"));
    EXPECT_FALSE(is_match_line("5x 01/09/07"));
    EXPECT_FALSE(is_match_line(" 5 01/09/07"));
    EXPECT_FALSE(is_match_line("5\t01/09/07"));
    EXPECT_FALSE(is_match_line("Girone di andata"));
    EXPECT_FALSE(is_match_line("/5 01/09/07"));  // the bytes either side of the digits
    EXPECT_FALSE(is_match_line(":5 01/09/07"));
    EXPECT_FALSE(is_match_line("5: 01/09/07"));
    EXPECT_FALSE(
        is_match_line("\xEF\xBB\xBF"
                      "1 01/09/07 15:30 Campo1 A - B"));
}

TEST(CalendarLine, WidthOffsets) {
    struct Row {
        const char* line;
        int previous;
        int expected;
    };
    const Row rows[] = {
        {"7 01/09/07 15:30 Campo1 A - B", 0, 2},
        {"45 01/09/07 15:30 Campo1 A - B", 0, 1},
        {"123 01/09/07 15:30 Campo1 A - B", 2, 0},
        {"1000 01/09/07 15:30 Campo1 A - B", 0, -1},
        {"12345 01/09/2007 15:30 Campo1 A - B", 0, -2},
        {"123456789 01/09/07", 0, -6},
        // Position 3 is looked at first, then 2, then 1.
        {"5 6 01/09/07", 1, 0},
        {"12 3 01/09/07", 0, 1},
        // No number shape: the calendar's previous offset stays.
        {"5", 1, 1},
        {"55", 2, 2},
        {"1234", 0, 0},
        {"1234x 01/09/07", -1, -1},
        {"12a45 01/09/07", 2, 2},
        {"", -2, -2},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(detect_number_offset(row.line, row.previous), row.expected) << row.line;
    }
}

// The ten keys of a line, in the order they are compared.
std::string keys_of(std::string_view line, int year_digits) {
    const int number_offset = detect_number_offset(line, 0);
    std::string keys;
    for (int key = 0; key < KEY_CHARACTERS; ++key) {
        const std::size_t position = key_position(key, number_offset, year_offset(year_digits));
        keys += position < line.size() ? line[position] : '$';
    }
    return keys;
}

TEST(CalendarLine, KeysOfEveryNumberWidthAndYearWidth) {
    // year 07, month 10, day 06, 18:30
    const char* lines[] = {
        "7 06/10/07 18:30 Campo1 A - B",       "45 06/10/07 18:30 Campo1 A - B",
        "123 06/10/07 18:30 Campo1 A - B",     "1234 06/10/07 18:30 Campo1 A - B",
        "123456 06-10-07 18.30 Campo1 A - B",  "7 06/10/2007 18:30 Campo1 A - B",
        "45 06/10/1907 18:30 Campo1 A - B",    "123 06/10/2007 18:30 Campo1 A - B",
        "99999 06/10/2007 18:30 Campo1 A - B",
    };
    for (std::string_view line : lines) {
        const int year_digits =
            line.find("/20") != line.npos || line.find("/19") != line.npos ? 4 : 2;
        EXPECT_EQ(keys_of(line, year_digits), "0710061830") << line;
    }
    // A four-digit file answered as two digits: the keys fall two places early.
    EXPECT_EQ(keys_of("7 06/10/2007 18:30 Campo1 A - B", 2), "2010067 8:");
}

// The single line of `text` as a merge writes it, read through a buffer of `capacity` bytes.
std::string written(const std::string& text, int year_digits, std::size_t capacity) {
    StringInput input(text);
    LineReader reader(input, capacity);
    Calendar calendar{reader, year_digits};
    EXPECT_EQ(calendar.next(), CalendarStep::match);
    return calendar.record().line + "\n";
}

TEST(CalendarLine, WriteDropsTheCenturyWhereverTheBufferEnds) {
    struct Row {
        std::string line;
        int year_digits;
        std::string expected;
    };
    const std::string long_tail(300, 'x');
    const std::vector<Row> rows = {
        {"12 05/10/2007 21:00 PalaA Alfa - Beta\n", 4, "12 05/10/07 21:00 PalaA Alfa - Beta\n"},
        {"12 05/10/2007 21:00 PalaA Alfa - Beta", 4, "12 05/10/07 21:00 PalaA Alfa - Beta\n"},
        {"12 05/10/07 21:00 PalaA Alfa - Beta\n", 2, "12 05/10/07 21:00 PalaA Alfa - Beta\n"},
        {"7 05/10/07 21:00 A\r\n", 2, "7 05/10/07 21:00 A\r\n"},
        {"7 05/10/2007 21:00 A\r\n", 4, "7 05/10/07 21:00 A\r\n"},
        {"123 05/10/2007 21:00 A\n", 4, "123 05/10/07 21:00 A\n"},
        {"1000 05/10/2007 21:00 A\n", 4, "1000 05/10/07 21:00 A\n"},
        {"12345 05/10/2007 21:00 A\n", 4, "12345 05/10/07 21:00 A\n"},
        // Lines whose date and time are not in their columns are written whole.
        {"1 06/10/2\n", 4, "1 06/10/2\n"},
        {"1 06/10/2007 X\r\n", 4, "1 06/10/2007 X\r\n"},
        {"1 0", 4, "1 0\n"},
        {"1 06/10/2007 18:00 " + long_tail + "\n", 4, "1 06/10/07 18:00 " + long_tail + "\n"},
        {"1 06/10/07 18:00 " + long_tail, 2, "1 06/10/07 18:00 " + long_tail + "\n"},
    };
    for (const Row& row : rows) {
        for (std::size_t capacity = 1; capacity <= 24; ++capacity) {
            EXPECT_EQ(written(row.line, row.year_digits, capacity), row.expected)
                << row.line << " capacity " << capacity;
        }
        EXPECT_EQ(written(row.line, row.year_digits, LineReader::default_capacity), row.expected);
    }
}

}  // namespace
}  // namespace gironario
