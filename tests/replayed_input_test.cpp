#include "io/replayed_input.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace gironario {
namespace {

// The head's whole lines, then every byte of the input once, read a few at a time.
TEST(ReplayedInput, HeadThenEverything) {
    const struct {
        std::string_view text;
        std::size_t head_size;
        std::size_t fail_after;
        std::string_view head;
        std::string_view read;
        int error;
    } rows[] = {
        {"", 8, StringInput::npos, "", "", 0},
        {"a\nb\nc", 8, StringInput::npos, "a\nb\nc", "a\nb\nc", 0},
        // Filled to the brim, the head cannot tell the input has ended.
        {"a\nb\nc", 5, StringInput::npos, "a\nb\n", "a\nb\nc", 0},
        {"a\nb\nc", 4, StringInput::npos, "a\nb\n", "a\nb\nc", 0},
        {"a\nb\nc\n", 5, StringInput::npos, "a\nb\n", "a\nb\nc\n", 0},
        {"abcdef", 3, StringInput::npos, "", "abcdef", 0},
        {"a\nbcd", 8, 3, "a\n", "a\nb", EIO},  // a read that fails is no end of the input
        {"a\nbcdef", 3, 5, "a\n", "a\nbcd", EIO},
    };
    for (const auto& row : rows) {
        ReplayedInput input(
            std::make_unique<StringInput>(std::string(row.text), row.fail_after, EIO),
            row.head_size);
        EXPECT_EQ(input.head_lines(), row.head) << row.text;
        std::string read;
        char buffer[2];
        for (std::size_t count; (count = input.read(buffer, sizeof buffer)) > 0;) {
            read.append(buffer, count);
        }
        EXPECT_EQ(read, row.read) << row.text;
        EXPECT_EQ(input.error(), row.error) << row.text;
    }
}

}  // namespace
}  // namespace gironario
