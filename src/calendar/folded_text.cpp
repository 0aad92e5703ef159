#include "calendar/folded_text.hpp"

#include <array>
#include <cstdint>

#include "io/text.hpp"

namespace gironario {

namespace {

// The plain letters of U+00C0 to U+00FF; empty for the two signs among them (× and ÷).
constexpr std::array<std::string_view, 64> latin1_letters = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // C0
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",  // D0
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",   // E0
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",   // F0
};

// What a character other than ASCII folds to, when it folds to ASCII; else empty.
std::string_view plain_form(char32_t c) {
    if (c >= 0xC0 && c <= 0xFF) {
        return latin1_letters[c - 0xC0];
    }
    switch (c) {
        case 0x0152:
        case 0x0153:
            return "oe";
        case 0x0160:
        case 0x0161:
            return "s";
        case 0x017D:
        case 0x017E:
            return "z";
        case 0x0178:
            return "y";
        case 0x2018:
        case 0x2019:
            return "'";
        default:
            return {};
    }
}

bool is_space_character(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0xA0;
}

// The character at the start of well-formed UTF-8 `bytes` and its length; a byte that starts no
// sequence is taken alone, as itself.
std::pair<char32_t, std::size_t> decode(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC2 ? 2
                                        : 0;
    if (length == 0 || length > bytes.size()) {
        return {lead, 1};
    }
    std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xC0u) != 0x80u) {
            return {lead, 1};
        }
        code = code << 6 | (next & 0x3Fu);
    }
    return {static_cast<char32_t>(code), length};
}

}  // namespace

void append_folded(std::string& out, std::string_view bytes, bool utf8) {
    // Windows-1252 goes through UTF-8 so that both encodings meet in one form.
    std::string converted;
    if (!utf8) {
        converted = utf8_of_windows_1252(bytes);
        bytes = converted;
    }
    const std::size_t start = out.size();
    bool space_pending = false;
    while (!bytes.empty()) {
        const auto [c, length] = decode(bytes);
        const std::string_view encoded = bytes.substr(0, length);
        bytes.remove_prefix(length);
        if (is_space_character(c)) {
            space_pending = out.size() > start;
            continue;
        }
        if (space_pending) {
            out += ' ';
            space_pending = false;
        }
        if (c < 0x80) {
            out += ascii_lower(static_cast<char>(c));
        } else if (const std::string_view plain = plain_form(c); !plain.empty()) {
            out += plain;
        } else {
            out += encoded;
        }
    }
}

}  // namespace gironario
