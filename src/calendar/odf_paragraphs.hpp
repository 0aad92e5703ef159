#pragma once

// The text of OpenDocument paragraphs (text:p, text:h), as the format defines their character
// content, for the cells of a spreadsheet and the lines of a text document alike.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "io/xml_reader.hpp"

namespace gironario::odf {

// Repeat counts above this are read as this: still past every bound, and safe to add up.
inline constexpr std::size_t REPEAT_CAP = std::size_t{1} << 30;
// Nobody types more spaces in a row; a larger text:c would only make memory out of nothing.
inline constexpr std::size_t SPACE_RUN_LIMIT = 65535;

// A non-negative decimal integer that fills `text`, capped at REPEAT_CAP; nothing otherwise.
std::optional<std::size_t> read_count(std::string_view text);

// What the text of a cell or paragraph ran into.
enum class TextProblem { none, too_long, too_many_spaces };

// The character content of the paragraphs met between reset() and text(), as OpenDocument
// defines it: white space collapsed, text:s, text:tab and text:line-break written out, notes,
// annotations, ruby text and shapes left out; paragraphs joined with a space.
class ParagraphText {
  public:
    // Starts a new text, of at most `limit` bytes.
    void reset(std::size_t limit);

    // Inside a paragraph or an element left out, where every token belongs to this text.
    bool busy() const { return skipping_ > 0 || open_ > 0; }

    // The element `xml` has just started.
    void start(const XmlReader& xml);

    // The element `name` has ended; whether that closed the outermost paragraph.
    bool end(std::string_view name);

    // Character data met inside the elements started.
    void characters(std::string_view chars);

    const std::string& text() const { return text_; }
    TextProblem problem() const { return problem_; }

  private:
    static bool collapsed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool left_out(std::string_view name);
    void append(std::string_view chars, std::size_t count, char c);

    std::string text_;
    std::size_t limit_ = 0;
    std::size_t skipping_ = 0;  // depth inside an element whose text is no paragraph's
    std::size_t open_ = 0;      // paragraphs open, nested ones (in a shape's text) included
    bool separator_ = false;    // a space owed to the paragraphs before, once this one has text
    bool space_ = false;        // collapsed white space owed before the next text
    bool written_ = false;      // whether this paragraph has text yet
    TextProblem problem_ = TextProblem::none;
};

}  // namespace gironario::odf
