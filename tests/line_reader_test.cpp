#include "io/line_reader.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "io/byte_stream.hpp"
#include "io/line_writer.hpp"

namespace gironario {
namespace {

// What the reader should find: the text cut at each line feed, a last piece without one
// included when it is not empty.
std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    for (std::size_t feed; (feed = text.find('\n', begin)) != text.npos; begin = feed + 1) {
        lines.push_back(text.substr(begin, feed - begin));
    }
    if (begin < text.size()) {
        lines.push_back(text.substr(begin));
    }
    return lines;
}

std::vector<std::string> read_all(LineReader& reader) {
    std::vector<std::string> lines;
    while (reader.next()) {
        lines.emplace_back(reader.line());
    }
    return lines;
}

// Texts made of few symbols, so that line feeds fall at every place relative to the buffer.
std::vector<std::string> sample_texts() {
    std::vector<std::string> texts = {
        "",
        "\n",
        "\n\n\n",
        "a",
        "a\n",
        "abc\ndef",
        "abc\ndef\n",
        "\n\nabc\n\n",
        "12 05/10/2007 21:00 PalaA Alfa - Beta\n7 05/10/07 21:00 A",
        "x\r\ny\r\n\r\n",
        std::string("n\0l\n\xFF\xE8\n", 7),
        std::string(20, 'z') + "\n" + std::string(9, 'y') + "\n\n" + std::string(17, 'w'),
    };
    std::uint32_t seed = 12345;
    for (int i = 0; i < 300; ++i) {
        std::string text;
        seed = seed * 1103515245 + 12345;
        const std::size_t length = seed >> 16 & 63;
        for (std::size_t j = 0; j < length; ++j) {
            seed = seed * 1103515245 + 12345;
            text += "ab \n\r\n"[seed >> 16 & 3];
        }
        texts.push_back(text);
    }
    return texts;
}

TEST(LineReader, EveryCapacityFindsTheSameLines) {
    for (const std::string& text : sample_texts()) {
        for (std::size_t capacity = 1; capacity <= 8; ++capacity) {
            StringInput input(text);
            LineReader reader(input, capacity);
            EXPECT_EQ(read_all(reader), split(text)) << "capacity " << capacity;
            EXPECT_FALSE(reader.next()) << "the end is sticky";
            EXPECT_FALSE(reader.failed());
        }
    }
}

TEST(LineReader, LongLineWithTheDefaultBuffer) {
    const std::string long_line(3 * LineReader::default_capacity + 17, 'L');
    StringInput input("a\n" + long_line + "\nb\n" + long_line);
    LineReader reader(input);
    EXPECT_EQ(read_all(reader), (std::vector<std::string>{"a", long_line, "b", long_line}));
}

TEST(LineReader, ReadErrorIsNotTheEnd) {
    for (std::size_t capacity = 1; capacity <= 8; ++capacity) {
        StringInput input("abc\ndef\nghi\n", 6, EIO);
        LineReader reader(input, capacity);
        const std::vector<std::string> lines = read_all(reader);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "abc");
        // Nothing of the broken line is handed out.
        EXPECT_EQ(lines.size(), 1u);
        EXPECT_TRUE(reader.failed());
        EXPECT_EQ(reader.error(), EIO);
        EXPECT_FALSE(reader.next());
    }
    StringInput broken("", 0, EISDIR);
    LineReader reader(broken);
    EXPECT_FALSE(reader.next());
    EXPECT_EQ(reader.error(), EISDIR);
}

TEST(LineWriter, FullDiskIsReportedAndLaterWritesDropped) {
    const std::string line = "1 06/10/07 18:00 PalaA Alfa - Beta\n";
    for (std::size_t capacity : {std::size_t{1}, std::size_t{4}, LineWriter::default_capacity}) {
        std::string text;
        StringOutput output(text, 40);
        LineWriter writer(output, capacity);
        for (int i = 0; i < 3; ++i) {
            writer.put(line);
        }
        // A buffer larger than what was written sees the disk full only at close.
        EXPECT_FALSE(writer.close()) << "capacity " << capacity;
        EXPECT_TRUE(writer.failed());
        EXPECT_EQ(writer.error(), ENOSPC);
        EXPECT_EQ(text, (line + line).substr(0, 40));
    }
}

}  // namespace
}  // namespace gironario
