#include "io/replayed_input.hpp"

#include <algorithm>
#include <cstring>

namespace gironario {

ReplayedInput::ReplayedInput(std::unique_ptr<Input> input, std::size_t head_size)
    : input_(std::move(input)) {
    head_.resize(head_size);
    std::size_t filled = 0;
    while (filled < head_size) {
        const std::size_t count = input_->read(head_.data() + filled, head_size - filled);
        if (count == 0) {
            whole_ = input_->error() == 0;
            break;
        }
        filled += count;
    }
    head_.resize(filled);
    // A small calendar keeps only its bytes: a run may name hundreds of them.
    head_.shrink_to_fit();
}

std::string_view ReplayedInput::head_lines() const {
    if (whole_) {
        return head_;
    }
    const std::size_t end = head_.rfind('\n');
    return end == std::string::npos ? std::string_view()
                                    : std::string_view(head_).substr(0, end + 1);
}

std::size_t ReplayedInput::read(char* buffer, std::size_t size) {
    if (given_ < head_.size()) {
        const std::size_t count = std::min(size, head_.size() - given_);
        std::memcpy(buffer, head_.data() + given_, count);
        given_ += count;
        return count;
    }
    if (whole_) {
        return 0;
    }
    return input_->read(buffer, size);
}

}  // namespace gironario
