#pragma once

// Text as calendars write it: bytes in UTF-8 or, failing that, Windows-1252, with white space
// and letters told apart the same way wherever the program looks at them.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace gironario {

// White space inside a calendar line: space, tab, CR, vertical tab and form feed.
inline bool is_white(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// `text` without the white space at either end (with `line_breaks`, line feeds count as white).
inline std::string_view trimmed(std::string_view text, bool line_breaks = false) {
    const auto white = [&](char c) { return is_white(c) || (line_breaks && c == '\n'); };
    while (!text.empty() && white(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && white(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// `c` with an ASCII capital made small; every other byte as it is.
inline char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `a` and `b` are the same bytes but for ASCII case.
inline bool same_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ascii_lower(x) == ascii_lower(y);
           });
}

// Whether `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_utf8(std::string_view bytes);

// One character of text: its code point and the bytes it takes.
struct TextCharacter {
    char32_t code = 0;
    std::size_t length = 0;
};

// The character at the start of `bytes`, which are not empty. With `utf8` a UTF-8 sequence, or
// the first byte alone, read as Latin-1, when the bytes after it do not continue it; only the
// sequence's shape is checked, so text that may not be UTF-8 goes through is_utf8() first. Else
// one byte of Windows-1252, with Latin-1 for the five bytes it leaves undefined.
TextCharacter next_character(std::string_view bytes, bool utf8);

// Appends the UTF-8 bytes of `c`, up to U+10FFFF.
void append_utf8(std::string& out, char32_t c);

// What else append_text() does to the text.
enum class TextEscapes {
    none,
    icalendar,  // backslash, comma and semicolon escaped, as in an iCalendar text value
};

// Appends `bytes` to `out` as UTF-8 text. They are read as UTF-8 when `utf8` and well-formed,
// else byte by byte as Windows-1252, with Latin-1 for the five bytes it leaves undefined. A tab
// becomes a space, every other control character (U+0000 to U+001F, U+007F to U+009F) is left
// out.
void append_text(std::string& out, std::string_view bytes, bool utf8,
                 TextEscapes escapes = TextEscapes::none);

// The same with nothing escaped: for the exports that are not iCalendar files.
inline void append_plain_text(std::string& out, std::string_view bytes, bool utf8) {
    append_text(out, bytes, utf8);
}

// `bytes` read as Windows-1252, in UTF-8; controls kept.
std::string utf8_of_windows_1252(std::string_view bytes);

// `bytes`, well-formed UTF-8, in Windows-1252: a character that it has no byte for becomes '?'.
std::string windows_1252_of_utf8(std::string_view bytes);

// A file's name without the folders before it (either slash parts them): what the events, the
// page's tags and the messages name a calendar by.
std::string_view base_name(std::string_view path);

}  // namespace gironario
