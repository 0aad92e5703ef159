#pragma once

// A pull reader of the XML inside office files: no validation, no namespaces resolved (names
// stay qualified, as "w:t"), no DTD. Bounded in depth, name length and attributes, so that a
// hostile file ends in an error and never in deep recursion or endless memory.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gironario {

// Deepest nesting of elements the reader follows.
inline constexpr std::size_t XML_DEPTH_LIMIT = 256;
// Longest element or attribute name, in bytes.
inline constexpr std::size_t XML_NAME_LIMIT = 256;
// Most attributes one element may carry.
inline constexpr std::size_t XML_ATTRIBUTE_LIMIT = 256;

// A pull reader of the XML that office files use: elements, attributes, text, the five
// predefined entities and numeric character references, CDATA; comments, processing
// instructions and a DOCTYPE without an internal subset are passed over. UTF-8 only.
class XmlReader {
  public:
    explicit XmlReader(std::string_view xml);  // must outlast the reader

    enum class Token { start, end, text, done, error };

    // The next token. An empty element <a/> gives start, then end. After done or error, the
    // same again.
    Token next();

    // The qualified name of the element started or ended ("c", "text:p").
    std::string_view name() const;

    // The value of the started element's attribute of that qualified name, decoded; nullptr
    // when the element has no such attribute.
    const std::string* attribute(std::string_view name) const;

    // A text token's characters, decoded (entities, CDATA), white space kept.
    const std::string& text() const;

    // How many elements are open (the started one counted). At an end token the element it
    // closes is no longer counted.
    std::size_t depth() const;

    // Why the reader stopped at Token::error, Latin-1 Italian text.
    const std::string& error() const;

    // The attributes of the started element, qualified names and decoded values, in the
    // element's order.
    const std::vector<std::pair<std::string_view, std::string>>& attributes() const;

  private:
    Token fail(std::string message);
    Token read_start_tag();
    Token read_end_tag();
    bool read_name(std::string_view& out);
    void skip_spaces();
    bool declaration_encoding_ok(std::string_view instruction) const;

    std::string_view xml_;
    std::size_t at_ = 0;
    Token last_ = Token::text;
    bool started_ = false;
    bool seen_element_ = false;
    bool pending_end_ = false;  // an empty element's end, still to give
    std::string_view name_;
    std::vector<std::pair<std::string_view, std::string>> attributes_;
    std::string text_;
    std::vector<std::string_view> open_;
    std::string error_;
};

// `utf8` in Latin-1, for the program's messages: a character past U+00FF, or a byte that is no
// UTF-8, becomes '?'.
std::string latin1_of(std::string_view utf8);

// The name without its namespace prefix: "c" for "x:c" and for "c".
std::string_view local_name(std::string_view qualified);

}  // namespace gironario
