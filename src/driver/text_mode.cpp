#include "driver/text_mode.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace gironario {

namespace {

// Turns each CR LF in data[0, size) into LF in place and returns the new size. A CR in the last
// byte is left where it is: its partner, if any, is not known yet.
std::size_t drop_cr_before_lf(char* data, std::size_t size) {
    const char* const end = data + size;
    const char* copied = data;  // bytes before this are in place already
    char* out = data;
    const char* scan = data;
    while (const void* found = std::memchr(scan, '\r', static_cast<std::size_t>(end - scan))) {
        const char* cr = static_cast<const char*>(found);
        scan = cr + 1;
        if (scan == end || *scan != '\n') {
            continue;
        }
        // Most blocks hold no CR LF until the first one: nothing moves before it.
        const auto kept = static_cast<std::size_t>(cr - copied);
        if (out != copied) {
            std::memmove(out, copied, kept);
        }
        out += kept;
        copied = scan;
    }
    const auto kept = static_cast<std::size_t>(end - copied);
    if (out != copied) {
        std::memmove(out, copied, kept);
    }
    return static_cast<std::size_t>(out - data) + kept;
}

}  // namespace

TextModeInput::TextModeInput(std::unique_ptr<Input> input) : input_(std::move(input)) {}

std::size_t TextModeInput::read(char* buffer, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    if (byte_held_) {
        byte_held_ = false;
        buffer[0] = held_;
        return 1;
    }
    for (;;) {
        std::size_t filled = 0;
        if (cr_held_) {
            if (size == 1) {
                return read_after_cr(buffer[0]);
            }
            // The held CR goes in front of the new bytes and is mapped along with them.
            buffer[0] = '\r';
            filled = 1;
            cr_held_ = false;
        }
        const std::size_t count = input_->read(buffer + filled, size - filled);
        if (count == 0) {
            // At the end, or at a read error, a held CR has no partner: it is only a CR.
            return filled;
        }
        std::size_t length = drop_cr_before_lf(buffer, filled + count);
        if (buffer[length - 1] == '\r') {
            cr_held_ = true;
            --length;
        }
        if (length > 0) {
            return length;
        }
        // Only a CR came: 0 would read as the end, so look further.
    }
}

std::size_t TextModeInput::read_after_cr(char& byte) {
    char next = 0;
    const std::size_t count = input_->read(&next, 1);
    cr_held_ = false;
    if (count == 1 && next == '\n') {
        byte = '\n';
        return 1;
    }
    byte = '\r';
    if (count == 1) {
        if (next == '\r') {
            cr_held_ = true;
        } else {
            held_ = next;
            byte_held_ = true;
        }
    }
    return 1;
}

TextModeOutput::TextModeOutput(std::unique_ptr<Output> output, std::size_t capacity)
    : output_(std::move(output)), block_(*output_, std::max<std::size_t>(capacity, 1)) {}

bool TextModeOutput::write(const char* data, std::size_t size) {
    std::string_view text(data, size);
    for (std::size_t lf = text.find('\n'); lf != text.npos && !block_.failed();
         lf = text.find('\n')) {
        block_.put(text.substr(0, lf));
        block_.put("\r\n");
        text.remove_prefix(lf + 1);
    }
    block_.put(text);
    return !block_.failed();
}

bool TextModeOutput::close() {
    return block_.close();
}

bool TextModeOutput::commit() {
    return block_.commit();
}

}  // namespace gironario
