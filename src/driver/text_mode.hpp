#pragma once

#include <cstddef>
#include <memory>

#include "io/byte_stream.hpp"
#include "io/line_writer.hpp"

namespace gironario {

// Reads another input as a text-mode file reads on Windows: each CR LF comes out as one LF, and
// any other CR (alone, before another CR, or last in the file) comes out unchanged. The mapping
// works on whole blocks in the caller's buffer, so the line reader keeps its speed.
class TextModeInput final : public Input {
  public:
    explicit TextModeInput(std::unique_ptr<Input> input);

    std::size_t read(char* buffer, std::size_t size) override;
    int error() const override { return input_->error(); }

  private:
    // Decides a held CR when the caller has room for one byte only.
    std::size_t read_after_cr(char& byte);

    std::unique_ptr<Input> input_;
    bool cr_held_ = false;    // the last byte read was a CR, handed out once the next byte is known
    bool byte_held_ = false;  // `held_` is an ordinary byte read ahead, handed out next
    char held_ = 0;
};

// Writes to another output as a text-mode file writes on Windows: every LF goes out as CR LF,
// whatever comes before it. The result is gathered in a block, so the output still gets few,
// large writes; a write failure may therefore only show at a later write, or at close() or
// commit().
class TextModeOutput final : public Output {
  public:
    static constexpr std::size_t default_capacity = LineWriter::default_capacity;

    explicit TextModeOutput(std::unique_ptr<Output> output,
                            std::size_t capacity = default_capacity);

    bool write(const char* data, std::size_t size) override;
    bool close() override;
    bool commit() override;
    int error() const override { return output_->error(); }

  private:
    std::unique_ptr<Output> output_;
    LineWriter block_;  // over *output_
};

}  // namespace gironario
