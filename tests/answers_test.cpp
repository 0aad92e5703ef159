#include "driver/answers.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

namespace gironario {
namespace {

TEST(Answers, FormatLetters) {
    const std::pair<const char*, Format> accepted[] = {
        {"tT", Format::text},
        {"wW", Format::word},
        {"xX", Format::spreadsheet},
        {"hH", Format::web_page},
    };
    for (const auto& [letters, format] : accepted) {
        EXPECT_EQ(parse_format(letters[0]), format);
        EXPECT_EQ(parse_format(letters[1]), format);
    }
    // Neighbours of the letters, and 't' with its high bit set.
    for (char refused : {'s', 'u', 'v', 'g', 'i', 'y', 'k', 'z', 'S', 'U', ' ', '\n', '\0', '4',
                         static_cast<char>('t' | 0x80), static_cast<char>('T' | 0x80)}) {
        EXPECT_EQ(parse_format(refused), std::nullopt) << int{refused};
    }
}

TEST(Answers, YearDigits) {
    EXPECT_EQ(parse_year_digits(2), 2);
    EXPECT_EQ(parse_year_digits(4), 4);
    for (long long refused : {0LL, 1LL, 3LL, 5LL, 7LL, -2LL, -4LL, 22LL, 42LL, 4LL + (1LL << 32),
                              2LL - (1LL << 32), LLONG_MAX, -LLONG_MAX, LLONG_MIN}) {
        EXPECT_EQ(parse_year_digits(refused), std::nullopt) << refused;
    }
}

TEST(Answers, ReadNumberAsScanfDoes) {
    using Kind = Answer::Kind;
    struct Row {
        const char* input;
        Kind kind;
        long long value;
        const char* rest;  // what is left for the following reads
    };
    const Row rows[] = {
        {"4\n", Kind::value, 4, "\n"},
        {"\n\n  \t4\n", Kind::value, 4, "\n"},
        {"\v\f\r2x", Kind::value, 2, "x"},
        {"+4\n", Kind::value, 4, "\n"},
        {"-4", Kind::value, -4, ""},
        {"0004 2\n", Kind::value, 4, " 2\n"},
        {"42abc", Kind::value, 42, "abc"},
        // The largest number is kept as it is; one past it, with or without a sign, is clamped.
        {"9223372036854775807\n", Kind::value, LLONG_MAX, "\n"},
        {"9223372036854775808\n", Kind::value, LLONG_MAX, "\n"},
        {"+9223372036854775808", Kind::value, LLONG_MAX, ""},
        {"-9223372036854775807 4", Kind::value, -LLONG_MAX, " 4"},
        {"-9223372036854775808\n", Kind::value, -LLONG_MAX, "\n"},
        {"99999999999999999999999\n", Kind::value, LLONG_MAX, "\n"},
        {"-99999999999999999999999", Kind::value, -LLONG_MAX, ""},
        {"abc\n4\n", Kind::not_a_number, 0, "abc\n4\n"},
        {"\nx4", Kind::not_a_number, 0, "x4"},
        {"-x", Kind::not_a_number, 0, "x"},
        {"+-4", Kind::not_a_number, 0, "-4"},
        {"- 4", Kind::not_a_number, 0, " 4"},
        {"\xE8", Kind::not_a_number, 0, "\xE8"},
        {"", Kind::end, 0, ""},
        {"\n \n\t", Kind::end, 0, ""},
    };
    for (const Row& row : rows) {
        std::istringstream in(row.input);
        const Answer answer = read_number(in);
        EXPECT_EQ(answer.kind, row.kind) << row.input;
        if (row.kind == Kind::value) {
            EXPECT_EQ(answer.value, row.value) << row.input;
        }
        const std::string rest(std::istreambuf_iterator<char>(in.rdbuf()), {});
        EXPECT_EQ(rest, row.rest) << row.input;
    }
}

TEST(Answers, ReadingGoesOnAfterANumberAtTheEnd) {
    std::istringstream in("4");
    EXPECT_EQ(read_number(in).value, 4);
    EXPECT_EQ(read_character(in).kind, Answer::Kind::end);
    EXPECT_EQ(read_number(in).kind, Answer::Kind::end);
}

TEST(Answers, ReadCharacter) {
    std::istringstream in("t\n\xE8");
    EXPECT_EQ(read_character(in).value, 't');
    EXPECT_EQ(read_character(in).value, '\n');
    const Answer high = read_character(in);
    EXPECT_EQ(high.kind, Answer::Kind::value);
    EXPECT_EQ(high.value, 0xE8);
    EXPECT_EQ(read_character(in).kind, Answer::Kind::end);
}

}  // namespace
}  // namespace gironario
