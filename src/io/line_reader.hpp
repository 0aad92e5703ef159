#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "io/byte_stream.hpp"

namespace gironario {

// Reads an input one line at a time through a fixed buffer, so that memory does not depend on
// the input's size. A line is looked at where it lies in the buffer. A line longer than the
// buffer is still one line: its first part (the head) is held, and the rest is handed out in
// pieces when the line is consumed, or skipped when the reader moves on. A last line without a
// line feed is a line like any other.
class LineReader {
  public:
    static constexpr std::size_t default_capacity = 64 * 1024;
    // Bytes that may be read, though they mean nothing, past any place of the buffer: a line
    // can be copied in one move of this length whatever its own.
    static constexpr std::size_t READ_AHEAD = 64;

    explicit LineReader(Input& input, std::size_t capacity = default_capacity);

    // Moves to the next line. False at the end of the input, and on a read error (see failed()).
    bool next() {
        // Nearly every line ends within the bytes already read: inline, that costs one memchr.
        return (!rest_pending_ && take_buffered_line()) || next_after_buffer();
    }

    // The current line without its line feed; only as much of it as the buffer holds when
    // !whole().
    std::string_view head() const { return {buffer_.get() + line_begin_, line_end_ - line_begin_}; }

    // Whether head() is the whole line.
    bool whole() const { return !rest_pending_; }

    // Hands the current line to `sink(piece, offset)` piece by piece, head first, without its
    // line feed; `offset` is where the piece starts within the line. A piece may be empty.
    template <typename Sink>
    void consume(Sink&& sink) {
        sink(head(), std::size_t{0});
        consume_rest(sink);
    }

    bool failed() const { return input_.error() != 0; }
    int error() const { return input_.error(); }

  private:
    // Makes the next line current if its line feed has been read already.
    bool take_buffered_line() {
        const char* data = buffer_.get();
        const void* feed = std::memchr(data + scan_, '\n', data_end_ - scan_);
        if (feed == nullptr) {
            scan_ = data_end_;
            return false;
        }
        line_begin_ = next_;
        line_end_ = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
        scan_ = next_ = line_end_ + 1;
        return true;
    }

    // next() for a line that is not wholly in the buffer: it skips the rest of a long line and
    // reads more.
    bool next_after_buffer();

    // Reads more bytes after the buffered ones; false when none came.
    bool fill();

    template <typename Sink>
    void consume_rest(Sink& sink) {
        std::size_t offset = line_end_ - line_begin_;
        while (rest_pending_) {
            // The head took the whole buffer, so the buffer is free for the rest.
            const std::size_t count = input_.read(buffer_.get(), capacity_);
            scan_ = next_ = data_end_ = count;
            if (count == 0) {
                rest_pending_ = false;
                break;
            }
            const char* data = buffer_.get();
            if (const void* feed = std::memchr(data, '\n', count)) {
                const auto length = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
                sink(std::string_view(data, length), offset);
                scan_ = next_ = length + 1;
                rest_pending_ = false;
            } else {
                sink(std::string_view(data, count), offset);
                offset += count;
            }
        }
        line_begin_ = line_end_ = next_;
    }

    Input& input_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t line_begin_ = 0;  // the held line, or its head, is [line_begin_, line_end_)
    std::size_t line_end_ = 0;
    std::size_t next_ = 0;       // where the next line starts
    std::size_t scan_ = 0;       // bytes before this are known to hold no line feed after next_
    std::size_t data_end_ = 0;   // bytes read into the buffer
    bool rest_pending_ = false;  // the current line goes on in the input past the buffer
    bool at_end_ = false;
};

}  // namespace gironario
