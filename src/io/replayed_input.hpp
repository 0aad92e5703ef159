#pragma once

// An input whose first bytes are read ahead and kept, to be looked at before it is read as usual:
// a calendar is read once, even from a pipe, though its year digits are found in its first lines.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "io/byte_stream.hpp"

namespace gironario {

class ReplayedInput final : public Input {
  public:
    // Reads up to `head_size` bytes of `input` at once.
    ReplayedInput(std::unique_ptr<Input> input, std::size_t head_size);

    // The bytes read ahead, up to the end of their last whole line unless they hold the whole
    // input.
    std::string_view head_lines() const;
    // The bytes read ahead, as they are.
    std::string_view head() const { return head_; }

    // Reads the kept bytes first, then the rest of the input.
    std::size_t read(char* buffer, std::size_t size) override;
    int error() const override { return input_->error(); }

  private:
    std::unique_ptr<Input> input_;
    std::string head_;
    std::size_t given_ = 0;
    bool whole_ = false;  // the head is the whole input
};

}  // namespace gironario
