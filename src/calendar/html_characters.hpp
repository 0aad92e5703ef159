#pragma once

// The characters of a web page: the encoding its bytes are in, as a browser finds it, the page
// made UTF-8, and a cell's text gathered from it with its character references decoded.

#include <optional>
#include <string>
#include <string_view>

namespace gironario::html {

enum class Encoding { utf8, windows_1252 };

// The encoding that a <meta> of the page's first bytes declares, looked for as browsers do
// before they read the page: past comments and the values of other tags' attributes.
std::optional<Encoding> declared_encoding(std::string_view head);

// UTF-8 with each byte that starts no well-formed sequence made U+FFFD, as a browser shows a
// page that says it is UTF-8 and is not quite.
std::string repaired_utf8(std::string_view bytes);

// UTF-16 (without its byte-order mark) as UTF-8, each unpaired surrogate and a half code unit at
// the end made U+FFFD.
std::string utf8_of_utf16(std::string_view bytes, bool big_endian);

// A cell's text as it is gathered: white space made one space between words, and nothing kept
// that a sheet cannot show (control characters, the soft hyphen).
struct CellText {
    std::string text;
    bool space = false;  // white space since the last visible character

    // Appends UTF-8 text.
    void add(std::string_view bytes);

    // Appends text of the page, its character references decoded.
    void add_page_text(std::string_view run);
};

}  // namespace gironario::html
