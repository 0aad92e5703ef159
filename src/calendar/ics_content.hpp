#pragma once

// The content lines of an iCalendar file (RFC 5545, section 3.1), as every reader of one sees
// them: physical lines unfolded, each line split into its name, parameters and value, a
// parameter found by name and a TEXT value's escapes undone. What a reader then takes or refuses
// is its own.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace gironario {

// One content line, NAME;PARAMETERS:VALUE, as views into the unfolded line but for the name.
struct IcsContentLine {
    std::string name;               // trimmed, in capitals
    std::string_view parameters;    // each with the ';' before it; empty when there are none
    std::string_view value;         // everything after the colon that ends the parameters
    std::string_view written_name;  // the name as the line writes it
};

// `text` trimmed and in ASCII capitals: how names and the words of values (BEGIN:vevent) compare.
std::string ics_name_of(std::string_view text);

// Splits an unfolded content line; nothing when it has no colon outside a quoted parameter value
// (a quoted value may hold ':' and ';').
std::optional<IcsContentLine> split_ics_content_line(std::string_view line);

// The value of parameter `name` among `parameters` (as IcsContentLine holds them), its case
// ignored, white space and the quotes around it taken off; nothing when it is not there.
std::optional<std::string_view> ics_parameter(std::string_view parameters, std::string_view name);

// A TEXT value with its escapes undone: "\n" and "\N" a line feed, "\\", "\," and "\;" the
// character escaped. Any other backslash stays as written.
std::string unescaped_ics_text(std::string_view value);

// Joins physical lines into content lines, taking them one at a time: a file read whole and one
// read through a buffer unfold alike. A physical line that starts with a space or a tab goes on
// the content line before it, without that first character. Only the first `kept` octets of a
// content line are held, so that a reader that needs no more can bound its memory.
class IcsUnfolder {
  public:
    explicit IcsUnfolder(std::size_t kept = std::string::npos) : kept_(kept) {}

    // Whether `physical` goes on the content line before it.
    static bool continues(std::string_view physical) {
        return !physical.empty() && (physical.front() == ' ' || physical.front() == '\t');
    }

    // Whether taking `physical` next ends the content line held: read that one before take().
    bool ends_line(std::string_view physical) const { return open_ && !continues(physical); }

    // Takes the next physical line without its line feed; a CR before the line feed goes too. A
    // continuation with no content line before it is left out.
    void take(std::string_view physical);

    // Whether a content line is held, which the last physical line has not ended yet.
    bool open() const { return open_; }
    // The content line held, unfolded (up to `kept` octets).
    std::string_view line() const { return line_; }
    // The number of the content line's first physical line, counted from 1.
    long long line_number() const { return first_line_; }
    // What the last physical line taken gave the content line, all of it, kept or not.
    std::string_view piece() const { return piece_; }

  private:
    std::size_t kept_;
    std::string line_;
    std::string_view piece_;
    long long physical_lines_ = 0;
    long long first_line_ = 0;
    bool open_ = false;
};

// Calls `take` with each content line of `bytes`, unfolded, and the number of its first physical
// line; lines end with LF or CR LF, and the last one may have no line end.
void for_each_ics_content_line(std::string_view bytes,
                               const std::function<void(std::string_view, long long)>& take);

}  // namespace gironario
