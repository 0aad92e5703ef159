#include "io/text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace gironario {

namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; its five undefined bytes keep their
// Latin-1 value, a C1 control.
constexpr std::array<char32_t, 32> windows_1252_high = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

// The length of the UTF-8 sequence that starts with `lead`, 0 for a byte that starts none.
std::size_t sequence_length(unsigned char lead) {
    if (lead < 0x80u) {
        return 1;
    }
    if (lead >= 0xC2u && lead <= 0xDFu) {
        return 2;
    }
    if (lead >= 0xE0u && lead <= 0xEFu) {
        return 3;
    }
    if (lead >= 0xF0u && lead <= 0xF4u) {
        return 4;
    }
    return 0;
}

// The UTF-8 bytes of `c`, in `buffer`.
std::string_view utf8_of(char32_t c, std::array<char, 4>& buffer) {
    const auto code = static_cast<std::uint32_t>(c);
    const auto byte = [](std::uint32_t bits) { return static_cast<char>(bits); };
    if (code < 0x80u) {
        buffer[0] = byte(code);
        return {buffer.data(), 1};
    }
    if (code < 0x800u) {
        buffer[0] = byte(0xC0u | code >> 6);
        buffer[1] = byte(0x80u | (code & 0x3Fu));
        return {buffer.data(), 2};
    }
    if (code < 0x10000u) {
        buffer[0] = byte(0xE0u | code >> 12);
        buffer[1] = byte(0x80u | (code >> 6 & 0x3Fu));
        buffer[2] = byte(0x80u | (code & 0x3Fu));
        return {buffer.data(), 3};
    }
    buffer[0] = byte(0xF0u | code >> 18);
    buffer[1] = byte(0x80u | (code >> 12 & 0x3Fu));
    buffer[2] = byte(0x80u | (code >> 6 & 0x3Fu));
    buffer[3] = byte(0x80u | (code & 0x3Fu));
    return {buffer.data(), 4};
}

// Printable ASCII that goes over as it is: with `escaped`, all but the three escaped characters.
template <bool escaped>
bool is_plain(char c) {
    return c >= ' ' && c <= '~' && (!escaped || (c != '\\' && c != ',' && c != ';'));
}

bool is_control(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Appends one character, given by its code and its UTF-8 bytes, by the text value rules.
template <bool escaped>
void append_character(std::string& out, char32_t c, std::string_view encoded) {
    if (c == '\t') {
        out += ' ';
    } else if (is_control(c)) {
        // A line feed is a control character too, so no line break is ever left to escape.
    } else if (escaped && (c == '\\' || c == ',' || c == ';')) {
        out += '\\';
        out += static_cast<char>(c);
    } else {
        out += encoded;
    }
}

template <bool escaped>
void append_text_as(std::string& value, std::string_view bytes, bool utf8) {
    std::array<char, 4> buffer;
    // Whole lines are judged by the caller; a piece of one that is UTF-8 is UTF-8 too, so this
    // only keeps a wrong call from reading a broken sequence as a character.
    utf8 = utf8 && is_utf8(bytes);
    for (std::size_t i = 0; i < bytes.size();) {
        // Printable ASCII with nothing to escape, nearly all of a calendar's text, goes over in
        // runs: the same in both readings.
        const std::size_t plain_end = static_cast<std::size_t>(
            std::find_if_not(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(),
                             is_plain<escaped>) -
            bytes.begin());
        value.append(bytes.substr(i, plain_end - i));
        i = plain_end;
        if (i == bytes.size()) {
            break;
        }
        const TextCharacter c = next_character(bytes.substr(i), utf8);
        append_character<escaped>(value, c.code,
                                  utf8 ? bytes.substr(i, c.length) : utf8_of(c.code, buffer));
        i += c.length;
    }
}

}  // namespace

bool is_utf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80u) {
            ++i;  // most text is ASCII
            continue;
        }
        const std::size_t length = sequence_length(lead);
        if (length == 0 || length > bytes.size() - i) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if (!is_continuation(static_cast<unsigned char>(bytes[i + k]))) {
                return false;
            }
        }
        if (length > 2) {
            // The second byte rules out overlong forms, surrogates and codes past U+10FFFF.
            const auto second = static_cast<unsigned char>(bytes[i + 1]);
            if ((lead == 0xE0u && second < 0xA0u) || (lead == 0xEDu && second > 0x9Fu) ||
                (lead == 0xF0u && second < 0x90u) || (lead == 0xF4u && second > 0x8Fu)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

void append_text(std::string& out, std::string_view bytes, bool utf8, TextEscapes escapes) {
    if (escapes == TextEscapes::icalendar) {
        append_text_as<true>(out, bytes, utf8);
    } else {
        append_text_as<false>(out, bytes, utf8);
    }
}

std::string_view base_name(std::string_view path) {
    // A backslash parts folders on Windows, and a calendar named with one elsewhere is still
    // best known by what follows it.
#ifdef _WIN32
    const std::size_t folder_end = path.find_last_of("/\\:");  // "C:u17.txt" too
#else
    const std::size_t folder_end = path.find_last_of("/\\");
#endif
    return folder_end == std::string_view::npos ? path : path.substr(folder_end + 1);
}

TextCharacter next_character(std::string_view bytes, bool utf8) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    if (!utf8) {
        return {lead >= 0x80u && lead <= 0x9Fu ? windows_1252_high[lead - 0x80u] : char32_t{lead},
                1};
    }
    // The lead byte alone says how long the sequence is; is_utf8() is the one that rules out
    // overlong forms, surrogates and leads past U+10FFFF.
    const std::size_t length = lead < 0x80u    ? 1
                               : lead >= 0xF0u ? 4
                               : lead >= 0xE0u ? 3
                               : lead >= 0xC2u ? 2
                                               : 0;
    if (length == 0 || length > bytes.size()) {
        return {lead, 1};
    }
    std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[k]);
        if (!is_continuation(next)) {
            return {lead, 1};
        }
        code = code << 6 | (next & 0x3Fu);
    }
    return {static_cast<char32_t>(code), length};
}

void append_utf8(std::string& out, char32_t c) {
    std::array<char, 4> buffer;
    out += utf8_of(c, buffer);
}

std::string utf8_of_windows_1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        append_utf8(out, next_character(bytes.substr(i, 1), false).code);
    }
    return out;
}

namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F, as the one decoder reads them.
std::array<char32_t, 32> upper_controls() {
    std::array<char32_t, 32> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        codes[i] = next_character(std::string_view(&byte, 1), false).code;
    }
    return codes;
}

}  // namespace

std::string windows_1252_of_utf8(std::string_view bytes) {
    static const std::array<char32_t, 32> codes = upper_controls();
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const TextCharacter c = next_character(bytes, true);
        bytes.remove_prefix(c.length);
        if (c.code < 0x80 || (c.code >= 0xA0 && c.code <= 0xFF)) {
            out += static_cast<char>(c.code);
            continue;
        }
        char byte = '?';
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (codes[i] == c.code) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += byte;
    }
    return out;
}

}  // namespace gironario
