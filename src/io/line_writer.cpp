#include "io/line_writer.hpp"

#include <charconv>

namespace gironario {

LineWriter::LineWriter(Output& output, std::size_t capacity)
    : output_(output), capacity_(capacity), buffer_(new char[capacity]) {}

void LineWriter::put_number(long long number) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    put(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

bool LineWriter::flush() {
    if (used_ > 0 && !failed_) {
        failed_ = !output_.write(buffer_.get(), used_);
    }
    used_ = 0;
    return !failed_;
}

bool LineWriter::close() {
    const bool flushed = flush();
    const bool closed = output_.close();
    failed_ = !(flushed && closed);
    return !failed_;
}

bool LineWriter::commit() {
    const bool flushed = flush();
    // The output knows of every write that failed, this flush's too, and then keeps its file.
    const bool committed = output_.commit();
    failed_ = !(flushed && committed);
    return !failed_;
}

void LineWriter::put_large(std::string_view text) {
    flush();
    if (text.size() >= capacity_) {
        // Too big to be worth a copy: straight to the output.
        if (!failed_) {
            failed_ = !output_.write(text.data(), text.size());
        }
        return;
    }
    std::memcpy(buffer_.get(), text.data(), text.size());
    used_ = text.size();
}

}  // namespace gironario
