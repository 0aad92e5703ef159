#include "io/message.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gironario {
namespace {

// The program's Latin-1 words and a file's words, put together for each console.
TEST(Message, OwnAndForeignWords) {
    const struct {
        ConsoleEncoding console;
        std::string_view own;
        std::string_view foreign;
        std::string_view expected;
    } rows[] = {
        {ConsoleEncoding::latin1, "gara \xE8 ", "Citt\xC3\xA0", "gara \xE8 Citt\xC3\xA0"},
        {ConsoleEncoding::latin1, "", "Citt\xE0", "Citt\xE0"},
        {ConsoleEncoding::utf8, "gara \xE8 ", "Citt\xC3\xA0", "gara \xC3\xA8 Citt\xC3\xA0"},
        {ConsoleEncoding::utf8, "\xFF", "Citt\xE0 \x80",
         "\xC3\xBF"
         "Citt\xC3\xA0 \xE2\x82\xAC"},
        {ConsoleEncoding::utf8, "", "", ""},
    };
    for (const auto& row : rows) {
        const MessageText text(row.console);
        std::string message;
        text.own(message, row.own);
        text.foreign(message, row.foreign);
        EXPECT_EQ(message, row.expected) << row.own << row.foreign;
    }
}

// What a warning says of where it is and of the ones it no longer lists.
TEST(Message, WarningParts) {
    std::string line;
    MessageText(ConsoleEncoding::utf8).about_line(line, "squadre/Citt\xE0.txt", 12);
    const std::string rows[][2] = {
        {line, "gironario: squadre/Citt\xC3\xA0.txt:12: "},
        {more_not_listed(1, "gara", "gare"), "un'altra gara non \xE8 elencata"},
        {more_not_listed(3, "gara", "gare"), "altre 3 gare non sono elencate"},
        {to_console("\xE8", ConsoleEncoding::utf8), "\xC3\xA8"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row[0], row[1]);
    }
}

}  // namespace
}  // namespace gironario
