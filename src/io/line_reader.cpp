#include "io/line_reader.hpp"

#include <cstring>

namespace gironario {

LineReader::LineReader(Input& input, std::size_t capacity)
    // Past the bytes a line may use, room that may be read by a copy of a fixed length.
    : input_(input), capacity_(capacity), buffer_(new char[capacity + READ_AHEAD]()) {}

bool LineReader::fill() {
    if (at_end_) {
        return false;
    }
    if (next_ > 0) {
        // Move the unfinished line to the front to make room behind it.
        std::memmove(buffer_.get(), buffer_.get() + next_, data_end_ - next_);
        data_end_ -= next_;
        scan_ -= next_;
        next_ = 0;
    }
    const std::size_t count = input_.read(buffer_.get() + data_end_, capacity_ - data_end_);
    if (count == 0) {
        at_end_ = true;
        return false;
    }
    data_end_ += count;
    return true;
}

bool LineReader::next_after_buffer() {
    if (rest_pending_) {
        auto ignore = [](std::string_view, std::size_t) {};
        consume_rest(ignore);
        if (take_buffered_line()) {
            return true;
        }
    }
    // A failed read leaves no whole line behind it in the buffer, so failures need looking at
    // only once no more bytes come.
    for (;;) {
        if (next_ == 0 && data_end_ == capacity_) {
            // No line feed in a full buffer: hold what fits as the head of a long line.
            line_begin_ = 0;
            line_end_ = scan_ = next_ = capacity_;
            rest_pending_ = true;
            return true;
        }
        if (!fill()) {
            if (failed() || next_ == data_end_) {
                return false;
            }
            // A last line without its line feed.
            line_begin_ = next_;
            line_end_ = scan_ = next_ = data_end_;
            return true;
        }
        if (take_buffered_line()) {
            return true;
        }
    }
}

}  // namespace gironario
