#include "calendar/merge.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/byte_stream.hpp"

namespace gironario {
namespace {

// Compares texts too long to be printed whole, showing where they part.
::testing::AssertionResult same_text(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    const auto at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
        actual.begin());
    const std::size_t from = at < 40 ? 0 : at - 40;
    return ::testing::AssertionFailure()
           << "the texts part at byte " << at << ":\n  '" << actual.substr(from, 80)
           << "'\ninstead of\n  '" << expected.substr(from, 80) << "'";
}

struct Merged {
    std::string text;
    long long count;
};

Merged merge_texts(const std::string& one, int digits_one, const std::string& two, int digits_two,
                   std::size_t capacity = LineReader::default_capacity) {
    StringInput input_one(one);
    StringInput input_two(two);
    LineReader reader_one(input_one, capacity);
    LineReader reader_two(input_two, capacity);
    Calendar first{reader_one, digits_one};
    Calendar second{reader_two, digits_two};
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    const long long count = merge(first, second, writer);
    EXPECT_TRUE(writer.close());
    return {text, count};
}

// A match line of `slot`, a running day index: slot 0 is 01/01 of year 00, then one per day,
// with 28 days to a month.
std::string match(int number, int slot, int year_digits, const char* time = "18:00") {
    char line[80];
    std::snprintf(line, sizeof line, "%d %02d/%02d/%s%02d %s Pala%d Squadra - Ospite\n", number,
                  slot % 28 + 1, slot / 28 % 12 + 1, year_digits == 4 ? "20" : "", slot / 336, time,
                  number % 7);
    return line;
}

struct Row {
    const char* name;
    std::string one;
    int digits_one;
    std::string two;
    int digits_two;
    std::string expected;
    long long count;
};

const std::string L1 = "1 06/10/07 18:00 PalaA Alfa - Beta\n";
const std::string L2 = "2 13/10/07 18:00 PalaA Alfa - Gamma\n";
const std::string L4 = "4 06/10/07 21:00 PalaB Delta - Eta\n";
const std::string L5 = "5 13/10/07 18:00 PalaC Zeta - Delta\n";
const std::string TAIL(100'000, 't');  // longer than the reader's buffer

// A heading longer than the buffer whose text, where the buffer of either size ends, reads like
// a match: it must still be dropped whole.
std::string long_heading() {
    const std::string ghost = "9 01/01/07 00:00 Fantasma ";
    std::string heading = "Girone" + std::string(18, '-') + ghost;
    return heading + std::string(LineReader::default_capacity - heading.size(), '-') + ghost + "\n";
}

const std::vector<Row> rows = {
    {"worked example", L1 + L2, 2, L4 + L5, 2, L1 + L4 + "\n" + L2 + L5 + "\n", 4},
    {"four-digit calendar 1",
     "1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - Gamma\n", 4, L4 + L5, 2,
     L1 + L4 + "\n" + L2 + L5 + "\n", 4},
    {"four-digit calendar 2", L4 + L5, 2,
     "1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - Gamma\n", 4,
     L1 + L4 + "\n" + L5 + L2 + "\n", 4},
    {"headings and empty lines dropped", "Girone di andata\n\n" + L1 + "\nGiornata 2\n" + L2 + "\n",
     2, "\n\nRitorno\n" + L4 + "5\n" + L5 + "Fine\n", 2, L1 + L4 + "\n" + L2 + L5 + "\n", 4},
    {"earlier by minute units only", "1 06/10/07 18:27 A\n", 2, "2 06/10/07 18:25 B\n", 2,
     "2 06/10/07 18:25 B\n1 06/10/07 18:27 A\n", 2},
    {"earlier by hour units", "1 06/10/07 19:00 A\n", 2, "2 06/10/07 18:59 B\n", 2,
     "2 06/10/07 18:59 B\n1 06/10/07 19:00 A\n", 2},
    {"tie", "1 06/10/07 18:00 A\n", 2, "9 06/10/07 18:00 B\n", 2,
     "1 06/10/07 18:00 A\n9 06/10/07 18:00 B\n\n", 2},
    {"tie on the decade when the centuries differ", "1 06/10/1907 18:00 A\n", 4,
     "9 06/10/2007 18:00 B\n", 4, "1 06/10/07 18:00 A\n9 06/10/07 18:00 B\n\n", 2},
    {"same-day run before a later day", "1 06/10/07 18:00 A\n2 06/10/07 20:00 B\n", 2,
     "3 13/10/07 18:00 C\n", 2, "1 06/10/07 18:00 A\n\n2 06/10/07 20:00 B\n\n3 13/10/07 18:00 C\n",
     3},
    {"tie then 20:00 and 21:00", "1 06/10/07 18:00 A\n2 06/10/07 20:00 B\n", 2,
     "4 06/10/07 18:00 C\n5 06/10/07 21:00 D\n", 2,
     "1 06/10/07 18:00 A\n4 06/10/07 18:00 C\n\n2 06/10/07 20:00 B\n5 06/10/07 21:00 D\n", 4},
    {"year before month before day", "1 31/01/08 18:00 A\n2 01/03/08 18:00 B\n", 2,
     "3 01/12/07 18:00 C\n4 02/02/08 18:00 D\n", 2,
     "3 01/12/07 18:00 C\n\n1 31/01/08 18:00 A\n\n4 02/02/08 18:00 D\n\n2 01/03/08 18:00 B\n", 4},
    {"unterminated last lines", L1 + "2 13/10/07 18:00 X", 2, "4 13/10/07 18:00 Y", 2,
     L1 + "\n2 13/10/07 18:00 X\n4 13/10/07 18:00 Y\n\n", 3},
    {"numbers of four and more digits",
     "999 06/10/2007 18:00 A\n1000 06/10/2007 19:00 B\n10000 13/10/2007 18:00 C\n", 4,
     "5 06/10/07 18:30 D\n1001 06/10/07 19:00 E\n", 2,
     "999 06/10/07 18:00 A\n5 06/10/07 18:30 D\n1000 06/10/07 19:00 B\n1001 06/10/07 19:00 E\n\n"
     "10000 13/10/07 18:00 C\n",
     5},
    // The minute's units of the last line fall where its line feed would be: 10, as with one.
    {"unterminated last line ending before the minute's last digit", "1 06/10/07 18:0", 2,
     "2 06/10/07 18:0\tB\n3 06/10/07 18:0\n4 06/10/07 18:00 D\n", 2,
     "2 06/10/07 18:0\tB\n1 06/10/07 18:0\n3 06/10/07 18:0\n\n4 06/10/07 18:00 D\n", 4},
    {"a key past the end of a short line is the lowest", "1 06/10/07\n", 2, "2 06/10/07 00:00 B\n",
     2, "1 06/10/07\n2 06/10/07 00:00 B\n", 2},
    {"the line feed is byte 10", "1 06/10/07 \n", 2, "2 06/10/07 \t0:00 B\n", 2,
     "2 06/10/07 \t0:00 B\n1 06/10/07 \n", 2},
    {"long headings dropped whole", L1 + long_heading() + L2, 2, long_heading() + L4 + L5, 2,
     L1 + L4 + "\n" + L2 + L5 + "\n", 4},
    {"long lines compared and written whole", "1 06/10/07 18:00 A " + TAIL + "\n" + L2, 2,
     "4 06/10/07 17:00 B " + TAIL + "\n", 2,
     "4 06/10/07 17:00 B " + TAIL + "\n1 06/10/07 18:00 A " + TAIL + "\n" + L2, 3},
    // When one calendar ends, the rest of the other follows without empty lines.
    {"rest: five matches and two headings",
     L1 + "Girone di ritorno\n" + L2 +
         "6 20/10/07 18:00 C\nUltime giornate\n7 27/10/07 18:00 D\n"
         "8 03/11/07 18:00 E\n",
     2, "9 01/09/07 18:00 Z\n", 2,
     "9 01/09/07 18:00 Z\n\n" + L1 + L2 +
         "6 20/10/07 18:00 C\n7 27/10/07 18:00 D\n8 03/11/07 18:00 E\n",
     6},
    {"rest: 99 to 100 and 999 to 1000", "", 2,
     "98 21/05/2008 20:30 PalaA A - B\n99 28/05/2008 20:30 PalaA A - C\n100 04/06/2008 20:30 PalaA "
     "A - D\n"
     "999 11/06/2008 20:30 PalaA A - E\n1000 18/06/2008 20:30 PalaA A - F\n",
     4,
     "98 21/05/08 20:30 PalaA A - B\n99 28/05/08 20:30 PalaA A - C\n100 04/06/08 20:30 PalaA A - "
     "D\n"
     "999 11/06/08 20:30 PalaA A - E\n1000 18/06/08 20:30 PalaA A - F\n",
     5},
    {"rest: a lone digit is not a match", L1 + "5\n" + L2 + "5", 2, "", 2, L1 + L2, 2},
    {"rest: calendar 1 empty", "", 2, L4 + L5 + L1, 2, L4 + L5 + L1, 3},
    {"rest: calendar 2 only headings", L1 + L2, 2, "Girone A\n\n\n", 2, L1 + L2, 2},
    {"rest: long and unterminated lines", "1 06/10/2007 18:00 A " + TAIL + "\n2 13/10/2007 X", 4,
     "", 2, "1 06/10/07 18:00 A " + TAIL + "\n2 13/10/07 X\n", 2},
    {"both empty", "", 4, "", 2, "", 0},
    {"only headings", "Girone\n", 2, "\n", 4, "", 0},
};

TEST(Merge, Rows) {
    for (const Row& row : rows) {
        const Merged merged = merge_texts(row.one, row.digits_one, row.two, row.digits_two);
        EXPECT_TRUE(same_text(merged.text, row.expected)) << row.name;
        EXPECT_EQ(merged.count, row.count) << row.name;
        // A buffer just large enough for the keys reads the lines in many more pieces.
        const Merged small = merge_texts(row.one, row.digits_one, row.two, row.digits_two, 24);
        EXPECT_TRUE(same_text(small.text, row.expected)) << row.name << " with a small buffer";
        EXPECT_EQ(small.count, row.count) << row.name << " with a small buffer";
    }
}

TEST(Merge, ManyStepsLoseNothing) {
    // 9000 matches on 9000 days taken in turn, numbers growing to four digits: every step ends
    // a day, and calendar 2's last match is the rest.
    std::string one;
    std::string two;
    std::string expected;
    for (int slot = 0; slot < 9000; ++slot) {
        const bool first = slot % 2 == 0;
        (first ? one : two) += match(slot + 1, slot, first ? 4 : 2);
        expected += match(slot + 1, slot, 2) + (slot < 8999 ? "\n" : "");
    }
    const Merged merged = merge_texts(one, 4, two, 2);
    EXPECT_EQ(merged.count, 9000);
    EXPECT_TRUE(same_text(merged.text, expected));
}

TEST(Merge, LongCalendarAgainstShortOne) {
    // 300 ties, then 19,700 matches of calendar 1 copied as its rest.
    std::string one;
    std::string two;
    std::string expected;
    for (int slot = 0; slot < 20'000; ++slot) {
        one += match(slot + 1, slot, 4);
        if (slot < 300) {
            two += match(slot + 30'001, slot, 2);
            expected += match(slot + 1, slot, 2) + match(slot + 30'001, slot, 2) + "\n";
        } else {
            expected += match(slot + 1, slot, 2);
        }
    }
    const Merged merged = merge_texts(one, 4, two, 2);
    EXPECT_EQ(merged.count, 20'300);
    EXPECT_TRUE(same_text(merged.text, expected));
}

}  // namespace
}  // namespace gironario
