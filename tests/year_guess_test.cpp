#include "calendar/year_guess.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "io/byte_stream.hpp"

namespace gironario {
namespace {

ShapeCounts count_text(const std::string& text) {
    StringInput input(text);
    LineReader lines(input);
    return count_shapes(lines);
}

struct Row {
    const char* name;
    std::string text;
    long long match_lines;
    long long two_digit;
    long long four_digit;
    std::optional<int> guess;
};

const std::vector<Row> rows = {
    {"two-digit, numbers of every number_offset, a last line without line feed",
     "Girone di andata\n1 04/10/26 18:00 A\n\n12 11/10/26 18:00 B\n123 18/10/26 18:00 C\n"
     "1234 25/10/26 18:00 D\n12 gennaio: riposo\n5 01/11/26 18:00 E",
     6, 5, 0, 2},
    {"four-digit", "1 04/10/2026 18:00 A\n10 11/10/2026 18:00 B\n100 18/10/2026 18:00 C\n", 3, 0, 3,
     4},
    // The year as its own line keeps the number_offset of the match before it.
    {"four-digit majority",
     "2026/2027\n1 04/10/2026 18:00 A\n2 11/10/26 18:00 B\n2026\n"
     "3 18/10/2026 18:00 C\n",
     5, 1, 2, 4},
    {"no match lines", "Girone\n\n5\n5x giornata\n", 0, 0, 0, 2},
    {"empty", "", 0, 0, 0, 2},
    {"tie", "1 04/10/26 18:00 A\n2 11/10/2026 18:00 B\n", 2, 1, 1, std::nullopt},
    // No line depends on the answer: a listing's lines typed out of their columns.
    {"no line in place either way", "12 gennaio: riposo\n1 | U14 | 9.00\n18h00 A\n", 3, 0, 0, 2},
};

TEST(YearGuess, Rows) {
    for (const Row& row : rows) {
        const ShapeCounts counts = count_text(row.text);
        EXPECT_EQ(counts.match_lines, row.match_lines) << row.name;
        EXPECT_EQ(counts.two_digit, row.two_digit) << row.name;
        EXPECT_EQ(counts.four_digit, row.four_digit) << row.name;
        EXPECT_EQ(guess_year_digits(counts), row.guess) << row.name;
    }
}

TEST(YearGuess, ShippedExamples) {
    for (const auto& [name, digits] : {std::pair{"calendario1.txt", 4}, {"calendario2.txt", 2}}) {
        std::ifstream file(std::string(GIRONARIO_EXAMPLES) + "/" + name, std::ios::binary);
        ASSERT_TRUE(file) << name;
        const ShapeCounts counts =
            count_text({std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
        EXPECT_GT(counts.match_lines, 0) << name;
        EXPECT_EQ(guess_year_digits(counts), digits) << name;
    }
}

}  // namespace
}  // namespace gironario
