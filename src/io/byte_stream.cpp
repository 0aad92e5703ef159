#include "io/byte_stream.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace gironario {

StringInput::StringInput(std::string text, std::size_t fail_after, int fail_errno)
    : text_(std::move(text)), fail_after_(fail_after), fail_errno_(fail_errno) {}

std::size_t StringInput::read(char* buffer, std::size_t size) {
    if (error_ != 0) {
        return 0;
    }
    std::size_t available = text_.size() - position_;
    if (fail_after_ != npos) {
        if (position_ >= fail_after_) {
            error_ = fail_errno_;
            return 0;
        }
        available = std::min(available, fail_after_ - position_);
    }
    const std::size_t count = std::min(available, size);
    std::memcpy(buffer, text_.data() + position_, count);
    position_ += count;
    return count;
}

StringOutput::StringOutput(std::string& text, std::size_t capacity)
    : text_(text), capacity_(capacity) {}

bool StringOutput::write(const char* data, std::size_t size) {
    if (error_ != 0) {
        return false;
    }
    if (capacity_ != StringInput::npos && text_.size() + size > capacity_) {
        text_.append(data, capacity_ - text_.size());
        error_ = ENOSPC;
        return false;
    }
    text_.append(data, size);
    return true;
}

}  // namespace gironario
