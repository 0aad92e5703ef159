#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "io/byte_stream.hpp"

namespace gironario {

// Reads another input without the UTF-8 byte-order mark (EF BB BF) that Windows Notepad puts at
// the very start of a file it saves as UTF-8: the first line then reads as the line it is. Any
// other start, a shorter one included, comes out unchanged.
class WithoutByteOrderMark final : public Input {
  public:
    explicit WithoutByteOrderMark(std::unique_ptr<Input> input) : input_(std::move(input)) {}

    std::size_t read(char* buffer, std::size_t size) override;
    int error() const override { return input_->error(); }

  private:
    std::unique_ptr<Input> input_;
    std::array<char, 3> start_{};
    std::size_t start_size_ = 0;   // bytes of the start read ahead...
    std::size_t start_given_ = 0;  // ...and handed out since
    bool started_ = false;
};

}  // namespace gironario
