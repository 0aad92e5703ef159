#pragma once

// The tags of a web page as a browser's tokenizer sees them: names and the few attributes the
// table reader looks at, comments, and the raw text of <script> and its like.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace gironario::html {

// HTML's white space, which separates words and attributes.
inline bool is_html_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

inline bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool is_ascii_digit(char c) {
    return c >= '0' && c <= '9';
}

// The attributes anything here looks at.
enum class Attribute { colspan, rowspan, charset, content, http_equiv };

// A start or end tag: its name as written and the first value of each attribute looked at.
struct Tag {
    std::string_view name;
    bool end = false;
    std::array<std::optional<std::string_view>, 5> attributes;  // the first of each name

    std::optional<std::string_view> operator[](Attribute which) const {
        return attributes[static_cast<std::size_t>(which)];
    }
};

// Reads the tag whose '<' stands at `at` (a letter follows it, or '/' and a letter) and moves
// `at` past its '>'. Attribute values may be quoted either way or not at all, and a quoted one
// may hold a '>'. False when the page ends inside the tag, which is then lost, as in a browser.
bool read_tag(std::string_view text, std::size_t& at, Tag& tag);

// Where a comment that starts at `at` ("<!--") ends: past its "-->" (or "--!>"), or at the end of
// the page when it is never closed. "<!-->" and "<!--->" are whole, empty comments.
std::size_t comment_end(std::string_view text, std::size_t at);

// Where the text of a <script>, <style> and their like ends: at its own end tag, whatever looks
// like a tag before it.
std::size_t raw_text_end(std::string_view text, std::size_t from, std::string_view name);

}  // namespace gironario::html
