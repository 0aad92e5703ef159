#include "calendar/biff_records.hpp"

#include <algorithm>
#include <cstring>

namespace gironario::biff {

namespace {

// UTF-16 code units into UTF-8; a surrogate without its other half becomes U+FFFD.
class Utf16Text {
  public:
    explicit Utf16Text(std::string& out) : out_(out) {}

    void add(std::uint32_t unit) {
        if (high_ != 0 && unit >= 0xDC00 && unit <= 0xDFFF) {
            append_code_point(out_, 0x10000 + (high_ - 0xD800) * 0x400 + (unit - 0xDC00));
            high_ = 0;
            return;
        }
        finish();
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            high_ = unit;
        } else {
            append_code_point(out_, unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
        }
    }

    void finish() {
        if (high_ != 0) {
            append_code_point(out_, 0xFFFD);
            high_ = 0;
        }
    }

  private:
    std::string& out_;
    std::uint32_t high_ = 0;
};

}  // namespace

std::uint32_t u8_at(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t u16_at(std::string_view bytes, std::size_t at) {
    return u8_at(bytes, at) | u8_at(bytes, at + 1) << 8;
}

std::uint32_t u32_at(std::string_view bytes, std::size_t at) {
    return u16_at(bytes, at) | u16_at(bytes, at + 2) << 16;
}

double double_at(std::string_view bytes, std::size_t at) {
    const std::uint64_t bits = u32_at(bytes, at) | std::uint64_t{u32_at(bytes, at + 4)} << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double rk_value(std::uint32_t rk) {
    const bool hundredths = (rk & 1u) != 0;
    double value;
    if ((rk & 2u) != 0) {
        value = static_cast<double>(static_cast<std::int32_t>(rk & 0xFFFFFFFCu) / 4);
    } else {
        const std::uint64_t bits = std::uint64_t{rk & 0xFFFFFFFCu} << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return hundredths ? value / 100 : value;
}

void append_code_point(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool Pieces::number(std::size_t size, std::uint32_t& out) {
    out = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (!at_data()) {
            return false;
        }
        out |= u8_at(pieces_[piece_], at_++) << (8 * i);
    }
    return true;
}

bool Pieces::skip(std::uint64_t count) {
    while (count > 0) {
        if (!at_data()) {
            return false;
        }
        const std::size_t taken =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, pieces_[piece_].size() - at_));
        at_ += taken;
        count -= taken;
    }
    return true;
}

bool Pieces::characters(std::size_t count, bool wide, std::string& out) {
    Utf16Text text(out);
    while (count > 0) {
        const std::string_view piece = pieces_[piece_];
        const std::size_t width = wide ? 2 : 1;
        if (piece.size() - at_ < width) {
            if (piece_ + 1 == pieces_.size() || pieces_[piece_ + 1].empty()) {
                return false;
            }
            ++piece_;
            wide = (u8_at(pieces_[piece_], 0) & 1u) != 0;
            at_ = 1;
            continue;
        }
        const std::size_t taken = std::min(count, (piece.size() - at_) / width);
        for (std::size_t i = 0; i < taken; ++i, at_ += width) {
            // Compressed characters are the low bytes of UTF-16 units: Latin-1.
            text.add(wide ? u16_at(piece, at_) : u8_at(piece, at_));
        }
        count -= taken;
    }
    text.finish();
    return true;
}

bool Pieces::at_data() {
    while (at_ == pieces_[piece_].size()) {
        if (piece_ + 1 == pieces_.size()) {
            return false;
        }
        ++piece_;
        at_ = 0;
    }
    return true;
}

// A BIFF8 string: its character count (one or two bytes), an option byte, the counts of its
// formatting runs and phonetic data when it has them, the characters, then those runs and data,
// which the program does not need.
bool read_string(Pieces& pieces, std::size_t count_size, std::string& out) {
    std::uint32_t count = 0;
    std::uint32_t options = 0;
    std::uint32_t runs = 0;
    std::uint32_t extra = 0;
    if (!pieces.number(count_size, count) || !pieces.number(1, options) ||
        ((options & 0x08u) != 0 && !pieces.number(2, runs)) ||
        ((options & 0x04u) != 0 && !pieces.number(4, extra))) {
        return false;
    }
    out.clear();
    return pieces.characters(count, (options & 1u) != 0, out) &&
           pieces.skip(std::uint64_t{runs} * 4 + extra);
}

bool read_string(std::string_view data, std::size_t count_size, std::string& out) {
    Pieces pieces({data});
    return read_string(pieces, count_size, out);
}

bool Records::next(Record& record) {
    if (stream_.size() - at_ < 4) {
        truncated_ = at_ != stream_.size();
        return false;
    }
    const std::size_t length = u16_at(stream_, at_ + 2);
    if (stream_.size() - at_ - 4 < length) {
        truncated_ = true;
        return false;
    }
    record.type = u16_at(stream_, at_);
    record.data = stream_.substr(at_ + 4, length);
    at_ += 4 + length;
    return true;
}

void Records::take_continues(std::vector<std::string_view>& pieces) {
    Records ahead = *this;
    Record record;
    while (ahead.next(record) && record.type == continued) {
        pieces.push_back(record.data);
        *this = ahead;
    }
}

}  // namespace gironario::biff
