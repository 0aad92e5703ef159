#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "io/byte_stream.hpp"

namespace gironario {

// Collects small writes in a buffer and hands them to the output in large blocks. After the
// first failed write everything else is dropped and failed() stays true.
class LineWriter {
  public:
    static constexpr std::size_t default_capacity = 64 * 1024;

    explicit LineWriter(Output& output, std::size_t capacity = default_capacity);

    void put(std::string_view text) {
        if (text.size() <= capacity_ - used_) {
            // An empty view may have no bytes at all behind it.
            if (!text.empty()) {
                std::memcpy(buffer_.get() + used_, text.data(), text.size());
            }
            used_ += text.size();
        } else {
            put_large(text);
        }
    }

    void put(char c) {
        if (used_ == capacity_) {
            flush();
        }
        buffer_[used_++] = c;
    }

    // Writes a number in decimal.
    void put_number(long long number);

    // Hands the buffered bytes to the output; false once any write has failed.
    bool flush();

    // Flushes and closes the output; false when anything written was lost.
    bool close();

    // Flushes the output and commits it (see Output::commit()); false when anything written was
    // lost, and then the output is not put in place.
    bool commit();

    bool failed() const { return failed_; }
    int error() const { return output_.error(); }

  private:
    void put_large(std::string_view text);

    Output& output_;
    std::size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace gironario
