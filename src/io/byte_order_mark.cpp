#include "io/byte_order_mark.hpp"

#include <algorithm>
#include <cstring>

namespace gironario {

std::size_t WithoutByteOrderMark::read(char* buffer, std::size_t size) {
    if (!started_) {
        started_ = true;
        // The mark's three bytes may come in more than one read.
        while (start_size_ < start_.size()) {
            const std::size_t count =
                input_->read(start_.data() + start_size_, start_.size() - start_size_);
            if (count == 0) {
                break;
            }
            start_size_ += count;
        }
        if (start_size_ == 3 && std::memcmp(start_.data(), "\xEF\xBB\xBF", 3) == 0) {
            start_size_ = 0;
        }
    }
    if (start_given_ < start_size_) {
        const std::size_t count = std::min(size, start_size_ - start_given_);
        std::memcpy(buffer, start_.data() + start_given_, count);
        start_given_ += count;
        return count;
    }
    return input_->read(buffer, size);
}

}  // namespace gironario
