#include "calendar/folded_text.hpp"

#include <array>

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

}  // namespace

void append_folded(std::string& out, std::string_view bytes, bool utf8) {
    const std::size_t start = out.size();
    bool space_pending = false;
    while (!bytes.empty()) {
        const auto [c, length] = next_character(bytes, utf8);
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
        } else if (utf8) {
            out += encoded;
        } else {
            // Windows-1252 goes over in UTF-8, so that both encodings of a text fold alike.
            append_utf8(out, c);
        }
    }
}

}  // namespace gironario
