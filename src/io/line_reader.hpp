#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "io/byte_stream.hpp"

namespace gironario {

// Reads an input one line at a time through a buffer, so that memory does not depend on the
// input's length: the buffer holds the longest line read so far, and grows only for a longer one.
// A last line without a line feed is a line like any other.
class LineReader {
  public:
    static constexpr std::size_t default_capacity = 64 * 1024;

    explicit LineReader(Input& input, std::size_t capacity = default_capacity);

    // Moves to the next line. False at the end of the input, and on a read error (see failed()).
    bool next();

    // The current line, whole, without its line feed; valid until the next call of next().
    std::string_view line() const {
        return {buffer_.data() + line_begin_, line_end_ - line_begin_};
    }

    bool failed() const { return input_.error() != 0; }
    int error() const { return input_.error(); }

  private:
    // Reads more bytes after the buffered ones, making room first; false when none came.
    bool fill();

    Input& input_;
    std::vector<char> buffer_;
    std::size_t line_begin_ = 0;  // the current line is [line_begin_, line_end_)
    std::size_t line_end_ = 0;
    std::size_t next_ = 0;      // where the next line starts
    std::size_t scanned_ = 0;   // bytes from next_ up to here hold no line feed
    std::size_t data_end_ = 0;  // bytes read into the buffer
    bool at_end_ = false;
};

}  // namespace gironario
