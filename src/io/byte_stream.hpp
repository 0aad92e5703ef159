#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gironario {

// A source of bytes: a calendar file, or a string in the tests.
class Input {
  public:
    virtual ~Input() = default;

    // Reads up to `size` bytes into `buffer` and returns how many came; 0 means the end of the
    // input, or a read error when error() is not 0.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;

    // The system's error number of the read that failed, 0 while none has.
    virtual int error() const = 0;
};

// A destination of bytes: an output file, or a string in the tests.
class Output {
  public:
    virtual ~Output() = default;

    // Writes all `size` bytes; false when they could not all be written.
    virtual bool write(const char* data, std::size_t size) = 0;

    // Ends the output; false when it, or any write before it, failed. An output that replaces a
    // file is only finished by close(): the file stays as it was until commit().
    virtual bool close() = 0;

    // Ends the output as close() does and then, only when every write and the close succeeded,
    // puts it in place of the file it replaces. An output destroyed without a successful commit()
    // leaves that file exactly as it was. False when anything failed.
    virtual bool commit() = 0;

    // The system's error number of the first failure, 0 while none has happened.
    virtual int error() const = 0;
};

// Reads a string. It can be told to fail with `fail_errno` once `fail_after` bytes have been read,
// like a disk that breaks in the middle of a file.
class StringInput final : public Input {
  public:
    explicit StringInput(std::string text, std::size_t fail_after = npos, int fail_errno = 0);

    std::size_t read(char* buffer, std::size_t size) override;
    int error() const override { return error_; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  private:
    std::string text_;
    std::size_t position_ = 0;
    std::size_t fail_after_;
    int fail_errno_;
    int error_ = 0;
};

// Appends to a string that the caller owns. With a `capacity` it behaves like a full disk once the
// string would grow past it.
class StringOutput final : public Output {
  public:
    explicit StringOutput(std::string& text, std::size_t capacity = StringInput::npos);

    bool write(const char* data, std::size_t size) override;
    bool close() override { return error_ == 0; }
    // The string is the caller's own: there is nothing to put in place.
    bool commit() override { return close(); }
    int error() const override { return error_; }

  private:
    std::string& text_;
    std::size_t capacity_;
    int error_ = 0;
};

}  // namespace gironario
