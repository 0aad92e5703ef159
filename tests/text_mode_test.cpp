#include "driver/text_mode.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "io/line_reader.hpp"

namespace gironario {
namespace {

// Hands out at most `chunk` bytes per read, so that a test chooses where the reads break.
class ChunkedInput final : public Input {
  public:
    ChunkedInput(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, chunk_, text_.size() - position_});
        text_.copy(buffer, count, position_);
        position_ += count;
        return count;
    }
    int error() const override { return 0; }

  private:
    std::string text_;
    std::size_t position_ = 0;
    std::size_t chunk_;
};

// What Windows' text mode makes of a file read, one byte at a time.
std::string read_as_text_mode(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') {
            text += bytes[i];
        }
    }
    return text;
}

// Reads everything, `size` bytes asked at a time.
std::string drain(Input& input, std::size_t size) {
    std::string text;
    std::vector<char> buffer(size);
    while (const std::size_t count = input.read(buffer.data(), size)) {
        EXPECT_LE(count, size);
        text.append(buffer.data(), count);
    }
    return text;
}

const std::vector<std::string> samples = {
    "",
    "\r",
    "\n",
    "\r\n",
    "\r\r\n",
    "\n\r",
    "\r\n\r\n",
    "\r\r\r",
    "a\rb\r\nc",
    "1 04/10/2026 18:00 PalaLorvane Lorvane - Virtus Arezzo\r\n\r\nGirone di ritorno\r\n",
    "riga senza fine\r",
    "\r\n\n\r\r\n\rx\r\n\r",
};

TEST(TextModeInput, MapsCrLfWhereverTheReadsBreak) {
    for (const std::string& sample : samples) {
        const std::string expected = read_as_text_mode(sample);
        for (std::size_t chunk = 1; chunk <= sample.size() + 1; ++chunk) {
            for (std::size_t size = 1; size <= sample.size() + 2; ++size) {
                TextModeInput input(std::make_unique<ChunkedInput>(sample, chunk));
                EXPECT_EQ(drain(input, size), expected)
                    << testing::PrintToString(sample) << " chunk " << chunk << " size " << size;
            }
        }
    }
}

TEST(TextModeInput, KeepsEveryCrThatEndsNoLine) {
    TextModeInput input(std::make_unique<StringInput>("a\rb\r\r\nc\n\r"));
    EXPECT_EQ(drain(input, 64), "a\rb\r\nc\n\r");
}

TEST(TextModeInput, StopsAtAReadErrorAndReportsIt) {
    // The error strikes right after a CR, whose partner is never seen.
    TextModeInput input(std::make_unique<StringInput>("ab\r\ncd\r\nef", 7, EIO));
    EXPECT_EQ(drain(input, 3), "ab\ncd\r");
    EXPECT_EQ(input.error(), EIO);
    char byte = 0;
    EXPECT_EQ(input.read(&byte, 1), 0U);
}

TEST(TextModeInput, FeedsTheLineReaderWholeLines) {
    // A reader smaller than the lines asks for single bytes when its buffer is almost full.
    std::string file;
    std::vector<std::string> lines;
    for (std::size_t length = 0; length < 12; ++length) {
        lines.push_back(std::string(length, 'x') + std::to_string(length));
        file += lines.back() + "\r\n";
    }
    file += "\r\nultima\r";
    lines.emplace_back();
    lines.emplace_back("ultima\r");
    for (std::size_t capacity = 1; capacity <= 8; ++capacity) {
        for (std::size_t chunk : {1U, 2U, 3U, 1000U}) {
            TextModeInput input(std::make_unique<ChunkedInput>(file, chunk));
            LineReader reader(input, capacity);
            std::vector<std::string> read;
            while (reader.next()) {
                read.emplace_back(reader.line());
            }
            EXPECT_FALSE(reader.failed());
            EXPECT_EQ(read, lines) << "capacity " << capacity << " chunk " << chunk;
        }
    }
}

// Writes `text` in pieces of `piece` bytes through an output with a `capacity`-byte block.
std::string write_in_pieces(const std::string& text, std::size_t piece, std::size_t capacity) {
    std::string file;
    TextModeOutput output(std::make_unique<StringOutput>(file), capacity);
    for (std::size_t at = 0; at < text.size(); at += piece) {
        EXPECT_TRUE(output.write(text.data() + at, std::min(piece, text.size() - at)));
    }
    EXPECT_TRUE(output.close());
    return file;
}

TEST(TextModeOutput, WritesEveryLfAsCrLf) {
    const struct {
        std::string text;
        std::string file;
    } cases[] = {
        {"", ""},
        {"\n", "\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"senza fine", "senza fine"},
        // A CR already there is a byte like any other: text mode adds its own.
        {"a\r\nb\r", "a\r\r\nb\r"},
        {"1 04/10/26 11:00 Palestra A - B\n\n2 10/10/26 16:00 Pala C - D\n",
         "1 04/10/26 11:00 Palestra A - B\r\n\r\n2 10/10/26 16:00 Pala C - D\r\n"},
    };
    for (const auto& c : cases) {
        for (std::size_t piece = 1; piece <= c.text.size() + 1; ++piece) {
            for (std::size_t capacity : {1U, 2U, 3U, 5U, 4096U}) {
                EXPECT_EQ(write_in_pieces(c.text, piece, capacity), c.file)
                    << testing::PrintToString(c.text) << " piece " << piece << " capacity "
                    << capacity;
            }
        }
    }
}

TEST(TextModeOutput, HandsTheOutputLargeBlocks) {
    struct CountingOutput final : Output {
        bool write(const char* data, std::size_t size) override {
            ++writes;
            text.append(data, size);
            return true;
        }
        bool close() override { return true; }
        bool commit() override { return true; }
        int error() const override { return 0; }
        int writes = 0;
        std::string text;
    };
    auto counting = std::make_unique<CountingOutput>();
    CountingOutput& seen = *counting;
    TextModeOutput output(std::move(counting), 1024);
    const std::string block(1000, '\n');
    ASSERT_TRUE(output.write(block.data(), block.size()));
    ASSERT_TRUE(output.close());
    EXPECT_EQ(seen.text.size(), 2000U);
    EXPECT_EQ(seen.writes, 2);
}

TEST(TextModeOutput, ReportsAFullDiskAtTheLatestOnClose) {
    std::string file;
    TextModeOutput output(std::make_unique<StringOutput>(file, 5), 4);
    // The first block (4 bytes) fits; the second fails when it has to make room for the third.
    EXPECT_TRUE(output.write("ab\n", 3));
    EXPECT_TRUE(output.write("cd\n", 3));
    EXPECT_FALSE(output.write("e", 1));
    EXPECT_FALSE(output.write("f", 1));
    EXPECT_FALSE(output.close());
    EXPECT_EQ(output.error(), ENOSPC);
    EXPECT_EQ(file, "ab\r\nc");

    std::string small;
    TextModeOutput late(std::make_unique<StringOutput>(small, 3));
    EXPECT_TRUE(late.write("ab\n", 3));  // still in the block
    EXPECT_FALSE(late.close());
    EXPECT_EQ(late.error(), ENOSPC);
}

}  // namespace
}  // namespace gironario
