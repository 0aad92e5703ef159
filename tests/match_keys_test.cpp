#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "string_calendars.hpp"

namespace gironario {
namespace {

struct Held {
    std::string line;
    int year_digits;
};

// How two held lines order, key by key: the first key that differs decides.
struct Order {
    bool first_earlier;
    bool by_date;
    bool tie;
};

Order order_key_by_key(const Held& one, const Held& two) {
    const int one_width = detect_number_offset(one.line, 0);
    const int two_width = detect_number_offset(two.line, 0);
    for (int key = 0; key < KEY_CHARACTERS; ++key) {
        const char a = one.line[key_position(key, one_width, year_offset(one.year_digits))];
        const char b = two.line[key_position(key, two_width, year_offset(two.year_digits))];
        if (a != b) {
            return {a < b, key < FIRST_TIME_KEY, false};
        }
    }
    return {false, false, true};
}

Order order_by_match_keys(const Held& one, const Held& two) {
    const MatchKeys a = LineRecord(one.line, one.year_digits)->keys;
    const MatchKeys b = LineRecord(two.line, two.year_digits)->keys;
    if (a.date != b.date) {
        return {a.date < b.date, true, false};
    }
    if (a.time != b.time) {
        return {a.time < b.time, false, false};
    }
    return {false, false, true};
}

// The two numbers of a line must order every pair of lines as the ten keys do, the ways a line
// can fall short of its keys and the bytes that compare as negative values included.
TEST(MatchKeys, OrderAsTheKeysDo) {
    const std::vector<Held> lines = {
        {"1 06/10/07 18:00 PalaA Alfa - Beta", 2},
        {"12 06/10/07 18:00 PalaA Alfa - Beta", 2},
        {"123 06/10/2007 18:00 PalaA Alfa - Beta", 4},
        {"1234 06/10/1907 18:00 PalaA", 4},
        {"99999 06/10/07 18:01", 2},
        {"7 06/10/07 18:30", 2},
        {"7 06/10/07 21:00", 2},
        {"7 07/10/07 09:00", 2},
        {"7 06/11/07 09:00", 2},
        {"7 06/10/08 00:00", 2},
        {"7 31/12/99 23:45", 2},
        {"7 01/01/00 00:00", 2},
        {"7 06/10/07 18:3", 2},  // the minute's units on the line feed
        {"7 06/10/07 18:", 2},   // both minute keys short: the line feed, then past it
        {"7 06/10/07", 2},       // no time at all
        {"7 06/10/0", 2},
        {"7 06", 2},
        {"7 ", 2},
        {"7 06/10/\x80\x80 18:00", 2},  // bytes above 0x7F order below the digits
        {"7 06/10/\xFF\xFF 18:00", 2},
        {"7 06/10/07 18:00\r", 2},
        {"7 06/10/07 \xFF\x80:\x80\xFF", 2},
        {"7 06/10/07 18:00", 4},  // two-digit years answered as four
        {"7 06/10/2007 18:00", 2},
    };
    // Only lines with their date and time in their columns have keys; the others are placed by
    // their calendars.
    const auto in_place = [](const Held& held) {
        return has_shape(held.line, detect_number_offset(held.line, 0), held.year_digits);
    };
    for (const Held& one : lines) {
        if (!in_place(one)) {
            continue;
        }
        for (const Held& two : lines) {
            if (!in_place(two)) {
                continue;
            }
            const Order expected = order_key_by_key(one, two);
            const Order actual = order_by_match_keys(one, two);
            EXPECT_EQ(actual.tie, expected.tie) << one.line << " | " << two.line;
            if (!expected.tie) {
                EXPECT_EQ(actual.first_earlier, expected.first_earlier)
                    << one.line << " | " << two.line;
                EXPECT_EQ(actual.by_date, expected.by_date) << one.line << " | " << two.line;
            }
        }
    }
}

}  // namespace
}  // namespace gironario
