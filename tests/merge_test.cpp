#include "calendar/merge.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "io/byte_stream.hpp"
#include "string_calendars.hpp"

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

Merged merge_all(const std::vector<Text>& texts,
                 std::size_t capacity = LineReader::default_capacity) {
    StringCalendars calendars(texts, capacity);
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    const long long count = merge(calendars.calendars, writer);
    EXPECT_TRUE(writer.close());
    return {text, count};
}

Merged merge_texts(const std::string& one, int digits_one, const std::string& two, int digits_two,
                   std::size_t capacity = LineReader::default_capacity) {
    return merge_all({{one, digits_one}, {two, digits_two}}, capacity);
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
    // A line whose date and time cannot be read stays after the match before it in its own
    // calendar, or before every other when it is the first: none moves the lines after it.
    {"unterminated last line ending before the minute's last digit", "1 06/10/07 18:0", 2,
     "2 06/10/07 18:0\tB\n3 06/10/07 18:0\n4 06/10/07 18:00 D\n", 2,
     "1 06/10/07 18:0\n2 06/10/07 18:0\tB\n\n3 06/10/07 18:0\n4 06/10/07 18:00 D\n", 4},
    {"a line without its time comes first", "1 06/10/07\n", 2, "2 06/10/07 00:00 B\n", 2,
     "1 06/10/07\n\n2 06/10/07 00:00 B\n", 2},
    {"a line typed with a tab is read by its date", "1 06/10/07 \n", 2, "2 06/10/07 \t0:00 B\n", 2,
     "1 06/10/07 \n\n2 06/10/07 00:00 B\n", 2},
    {"lines typed out of their columns, and one that cannot be read",
     "1 06/10/07 18:00 A\n2 9/10/2007 h 18.30 B\n3 da definire C\n4 13/10/07 18:00 D\n", 2,
     "7 07/10/07 18:00 X\n8 10/10/07 18:00 Y\n", 2,
     "1 06/10/07 18:00 A\n\n7 07/10/07 18:00 X\n\n2 09/10/07 18:30 B\n\n3 da definire C\n\n"
     "8 10/10/07 18:00 Y\n\n4 13/10/07 18:00 D\n",
     6},
    // Placed after the line before it, whose day does not exist, not after the last dated one.
    {"an undated line after a line of no day",
     "1 05/10/26 18:00 A\n2 06/10/26 25:00 B\n3 da definire\n", 2, "9 06/10/26 25:30 Z\n", 2,
     "1 05/10/26 18:00 A\n\n2 06/10/26 25:00 B\n3 da definire\n9 06/10/26 25:30 Z\n", 4},
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
     "", 2, "1 06/10/07 18:00 A " + TAIL + "\n2 13/10/2007 X\n", 2},
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

// Merges of one calendar and of more than two, by the same rules: at a minute that two or more
// calendars share, their lines in the order named and one day break after them.
struct ManyRow {
    const char* name;
    std::vector<Text> calendars;
    std::string expected;
    long long count;
};

const std::string A1 = "1 04/10/26 18:00 A\n";
const std::string A2 = "2 04/10/26 20:00 A\n";
const std::string A3 = "3 11/10/26 18:00 A\n";
const std::string B1 = "11 04/10/26 18:00 B\n";
const std::string B2 = "12 05/10/26 09:00 B\n";
const std::string C1 = "21 04/10/26 18:00 C\n";
const std::string C2 = "22 04/10/26 19:30 C\n";
const std::string D1 = "31 03/10/26 18:00 D\n";
const std::string E1 = "41 11/10/26 18:00 E\n";

const std::vector<ManyRow> many_rows = {
    {"one calendar is its own rest", {{"Girone\n" + A1 + A2 + "\n" + A3, 2}}, A1 + A2 + A3, 3},
    {"one four-digit calendar", {{"1 04/10/2026 18:00 A\n", 4}}, A1, 1},
    {"three calendars, a tie of three",
     {{A1 + A2 + A3, 2}, {B1 + B2, 2}, {C1 + C2, 2}},
     A1 + B1 + C1 + "\n" + C2 + A2 + "\n" + B2 + "\n" + A3,
     7},
    {"the calendar named first wins a tie, whatever its place",
     {{C1, 2}, {A1, 2}, {B1, 2}},
     C1 + A1 + B1 + "\n",
     3},
    {"a tie of two among three, the third later by its time",
     {{A1 + A3, 2}, {C2, 2}, {B1, 2}},
     A1 + B1 + "\n" + C2 + "\n" + A3,
     4},
    {"five calendars, one of them without a match line, one empty",
     {{A1 + A3, 2}, {"Girone\n\n", 2}, {D1 + E1, 2}, {"", 4}, {"1 04/10/2026 20:00 F\n", 4}},
     D1 + "\n" + A1 + "1 04/10/26 20:00 F\n\n" + A3 + E1 + "\n",
     5},
    {"the calendar that ends first leaves the others merging",
     {{D1, 2}, {A1 + A2 + A3, 2}, {C1 + C2 + E1, 2}},
     D1 + "\n" + A1 + C1 + "\n" + C2 + A2 + "\n" + A3 + E1 + "\n",
     7},
    // The tab hides the width of "13": it keeps the width of its own calendar's latest match.
    {"an unreadable width keeps its calendar's own",
     {{"1 04/10/26 17:00 A\n2 04/10/26 19:00 A\n", 2},
      {"12 04/10/26 16:00 B\n13\t04/10/26 18:00 B\n", 2},
      {"123 05/10/26 18:00 C\n", 2}},
     "12 04/10/26 16:00 B\n1 04/10/26 17:00 A\n13\t04/10/26 18:00 B\n2 04/10/26 19:00 A\n\n"
     "123 05/10/26 18:00 C\n",
     5},
    {"no calendars", {}, "", 0},
};

TEST(Merge, OneAndManyCalendars) {
    for (const ManyRow& row : many_rows) {
        for (const std::size_t capacity : {LineReader::default_capacity, std::size_t{24}}) {
            const Merged merged = merge_all(row.calendars, capacity);
            EXPECT_TRUE(same_text(merged.text, row.expected))
                << row.name << ", buffer " << capacity;
            EXPECT_EQ(merged.count, row.count) << row.name << ", buffer " << capacity;
        }
    }
}

// 300 calendars at once, named against the order of their matches: one match each on days of
// their own, then all of them at one minute.
TEST(Merge, ThreeHundredCalendars) {
    std::vector<Text> apart(300, Text{"", 2});
    std::vector<Text> together(300, Text{"", 4});
    std::string expected_apart;
    std::string expected_together;
    for (int i = 0; i < 300; ++i) {
        apart[static_cast<std::size_t>(299 - i)].text = match(i + 1, i, 2);
        expected_apart += match(i + 1, i, 2) + (i < 299 ? "\n" : "");
        together[static_cast<std::size_t>(i)].text = match(i + 1, 40, 4);
        expected_together += match(i + 1, 40, 2);
    }
    const Merged merged_apart = merge_all(apart);
    EXPECT_TRUE(same_text(merged_apart.text, expected_apart));
    EXPECT_EQ(merged_apart.count, 300);
    const Merged merged_together = merge_all(together);
    EXPECT_TRUE(same_text(merged_together.text, expected_together + "\n"));
    EXPECT_EQ(merged_together.count, 300);
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
