#include "io/text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gironario {
namespace {

TEST(Text, WellFormedUtf8) {
    const struct {
        std::string_view bytes;
        bool utf8;
    } rows[] = {
        {"", true},
        {"Citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"Citt\xE0", false},          // Windows-1252
        {"\xC3", false},              // cut short
        {"\xC0\xA0", false},          // overlong
        {"\xE0\x9F\xBF", false},      // overlong
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xF5\x80\x80\x80", false},  // no such lead
        {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
    };
    for (const auto& row : rows) {
        EXPECT_EQ(is_utf8(row.bytes), row.utf8) << row.bytes;
    }
}

// Each character read back from the bytes it is written as, and in Windows-1252 each byte alone.
TEST(Text, CharactersReadAndWritten) {
    const struct {
        std::string_view bytes;
        bool utf8;
        char32_t code;
        std::size_t length;
        std::string_view written;
    } rows[] = {
        {"ab", true, U'a', 1, "a"},
        {"\xC3\xA0"
         "b",
         true, U'\u00E0', 2, "\xC3\xA0"},
        {"\xE2\x82\xAC", true, U'\u20AC', 3, "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80", true, U'\U0001F600', 4, "\xF0\x9F\x98\x80"},
        {"\xE2\x82", true, U'\u00E2', 1, "\xC3\xA2"},  // cut short: the lead as Latin-1
        {"\x80\x80", true, U'\u0080', 1, "\xC2\x80"},
        {"\x80", false, U'\u20AC', 1, "\xE2\x82\xAC"},
        {"\x9F", false, U'\u0178', 1, "\xC5\xB8"},
        {"\x81", false, U'\u0081', 1, "\xC2\x81"},  // undefined: Latin-1
        {"\xC3\xA0", false, U'\u00C3', 1, "\xC3\x83"},
    };
    for (const auto& row : rows) {
        const TextCharacter read = next_character(row.bytes, row.utf8);
        std::string written;
        append_utf8(written, read.code);
        EXPECT_EQ(read.code, row.code) << row.bytes;
        EXPECT_EQ(read.length, row.length) << row.bytes;
        EXPECT_EQ(written, row.written) << row.bytes;
    }
}

TEST(Text, AppendedText) {
    const struct {
        std::string_view bytes;
        bool utf8;
        TextEscapes escapes;
        std::string_view expected;
    } rows[] = {
        {"", true, TextEscapes::none, ""},
        {"a\tb\r\nc\x7F", true, TextEscapes::none, "a bc"},
        {"Citt\xC3\xA0 \xE2\x80\x99", true, TextEscapes::none, "Citt\xC3\xA0 \xE2\x80\x99"},
        {"Citt\xE0 \x92", false, TextEscapes::none, "Citt\xC3\xA0 \xE2\x80\x99"},
        {"Citt\xE0", true, TextEscapes::none, "Citt\xC3\xA0"},        // not UTF-8 after all
        {"\xC2\x85x\xC2\xA0", true, TextEscapes::none, "x\xC2\xA0"},  // C1 left out
        {"\x85\x81x", false, TextEscapes::none, "\xE2\x80\xA6x"},
        {"a,b;c\\d", true, TextEscapes::none, "a,b;c\\d"},
        {"a,b;c\\d\xE0", false, TextEscapes::icalendar, "a\\,b\\;c\\\\d\xC3\xA0"},
    };
    for (const auto& row : rows) {
        std::string out = ">";
        append_text(out, row.bytes, row.utf8, row.escapes);
        EXPECT_EQ(out, ">" + std::string(row.expected)) << row.bytes;
    }
    EXPECT_EQ(utf8_of_windows_1252("\x01\x80\x9F\xA0\xFF"),
              "\x01\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF");
}

}  // namespace
}  // namespace gironario
