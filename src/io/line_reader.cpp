#include "io/line_reader.hpp"

#include <cstring>

namespace gironario {

LineReader::LineReader(Input& input, std::size_t capacity)
    : input_(input), buffer_(capacity > 0 ? capacity : 1) {}

bool LineReader::fill() {
    if (at_end_) {
        return false;
    }
    if (next_ > 0) {
        // Move the unfinished line to the front to make room behind it.
        std::memmove(buffer_.data(), buffer_.data() + next_, data_end_ - next_);
        data_end_ -= next_;
        scanned_ -= next_;
        next_ = 0;
    }
    if (data_end_ == buffer_.size()) {
        // A line longer than the buffer: it is held whole all the same.
        buffer_.resize(2 * buffer_.size());
    }
    const std::size_t count = input_.read(buffer_.data() + data_end_, buffer_.size() - data_end_);
    if (count == 0) {
        at_end_ = true;
        return false;
    }
    data_end_ += count;
    return true;
}

bool LineReader::next() {
    for (;;) {
        const char* const data = buffer_.data();
        if (const void* feed = std::memchr(data + scanned_, '\n', data_end_ - scanned_)) {
            line_begin_ = next_;
            line_end_ = static_cast<std::size_t>(static_cast<const char*>(feed) - data);
            scanned_ = next_ = line_end_ + 1;
            return true;
        }
        scanned_ = data_end_;
        if (!fill()) {
            // A failed read leaves no whole line behind it, so failures need looking at only
            // once no more bytes come.
            if (failed() || next_ == data_end_) {
                return false;
            }
            // A last line without its line feed.
            line_begin_ = next_;
            line_end_ = scanned_ = next_ = data_end_;
            return true;
        }
    }
}

}  // namespace gironario
