// Reads the tables of a web page from the fuzz input, whatever its bytes, and checks what a sheet
// reader owes its callers: sheets or an error, never both; rows, columns and cells within the
// bounds, and no more rows than the page has tags; each cell UTF-8 without control characters,
// without white space at either end or twice in a row, and without the '<' of a tag. The page
// must read the same with its tag names in capitals and, when it is plain ASCII, with a
// byte-order mark (UTF-8, or UTF-16 with its text made so).
//
// Input: the page, as it is. The bounds are small, so that inputs of a few kilobytes reach them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/html_tables.hpp"
#include "fuzz_support.hpp"
#include "io/text.hpp"

namespace {

using namespace gironario;
using fuzz::require;

constexpr HtmlTableLimits limits = {std::size_t{64} << 20, 64, 512, 256, 20'000, 4096};

struct Read {
    bool read = false;
    Workbook book;
    std::string error;

    bool operator==(const Read& other) const {
        const auto same_row = [](const SheetRow& a, const SheetRow& b) {
            return a.number == b.number && a.cells == b.cells;
        };
        const auto same_sheet = [&](const Sheet& a, const Sheet& b) {
            return a.name == b.name && std::ranges::equal(a.rows, b.rows, same_row);
        };
        return read == other.read && error == other.error &&
               std::ranges::equal(book.sheets, other.book.sheets, same_sheet);
    }
};

Read read(std::string_view page) {
    Read result;
    result.read = read_html_tables(page, result.book, result.error, limits);
    return result;
}

bool is_ascii_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether a '<' of the page that is text can meet, in a cell, a character that did not follow it
// in the page: with an entity, a second '<', or a character left out (a control, the soft
// hyphen) after it, in Windows-1252 or in UTF-8.
bool text_may_join_tags(std::string_view page) {
    if (page.find('&') != std::string_view::npos || page.starts_with("\xFF\xFE") ||
        page.starts_with("\xFE\xFF")) {
        return true;
    }
    for (std::size_t at = page.find('<'); at != std::string_view::npos && at + 1 < page.size();
         at = page.find('<', at + 1)) {
        const auto next = static_cast<unsigned char>(page[at + 1]);
        if (next == '<' ||
            (next < 0x20 && next != '\t' && next != '\n' && next != '\r' && next != '\f') ||
            (next >= 0x7F && next <= 0x9F) || next == 0xAD || next == 0xC2) {
            return true;
        }
    }
    return false;
}

void check_text(std::string_view text, bool tags_checked) {
    require(is_utf8(text), "a cell is not UTF-8");
    const auto white = [](char c) { return c == ' ' || is_white(c) || c == '\n'; };
    require(text.empty() || (!white(text.front()) && !white(text.back())),
            "a cell starts or ends with white space");
    require(text.find("  ") == std::string_view::npos, "white space twice in a cell");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        require(byte >= 0x20 && byte != 0x7F, "a control character in a cell");
        if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            require(next > 0x9F, "a C1 control character in a cell");
            require(next != 0xA0, "a no-break space in a cell");
        }
        if (tags_checked && text[i] == '<' && i + 1 < text.size()) {
            const char next = text[i + 1];
            require(!is_ascii_letter(next) && next != '!' && next != '?' &&
                        (next != '/' || i + 2 == text.size()),
                    "a tag in a cell");
        }
    }
}

std::string with_capital_tag_names(std::string_view page) {
    std::string capitals(page);
    for (std::size_t at = 0; at + 1 < capitals.size(); ++at) {
        if (capitals[at] != '<') {
            continue;
        }
        std::size_t i = at + 1 + (capitals[at + 1] == '/' ? 1 : 0);
        if (i >= capitals.size() || !is_ascii_letter(capitals[i])) {
            continue;
        }
        for (; i < capitals.size() && !is_white(capitals[i]) && capitals[i] != '\n' &&
               capitals[i] != '/' && capitals[i] != '>';
             ++i) {
            if (capitals[i] >= 'a' && capitals[i] <= 'z') {
                capitals[i] = static_cast<char>(capitals[i] - 'a' + 'A');
            }
        }
    }
    return capitals;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const Read first = read(page);
    require(first.read == first.error.empty(), "the result and the error disagree");
    if (!first.read) {
        require(first.book.sheets.empty(), "both sheets and an error");
        require(first.error.find('\n') == std::string::npos, "an error of more than one line");
        return 0;
    }

    const bool utf16 = page.starts_with("\xFF\xFE") || page.starts_with("\xFE\xFF");
    long long lines = 1;
    std::size_t tags = 0;
    for (std::size_t i = 0; i < size; ++i) {
        lines += page[i] == '\n' || (page[i] == '\r' && (i + 1 == size || page[i + 1] != '\n'));
        tags += page[i] == '<';
    }
    const bool tags_checked = !text_may_join_tags(page);
    std::size_t rows = 0;
    std::size_t cells = 0;
    std::size_t text = 0;
    require(first.book.sheets.size() <= limits.tables, "more tables than the bound");
    for (const Sheet& sheet : first.book.sheets) {
        check_text(sheet.name, tags_checked);
        require(sheet.rows.size() <= limits.rows, "more rows than the bound");
        long long number = 1;
        for (const SheetRow& row : sheet.rows) {
            require(row.number >= number && (utf16 || row.number <= lines),
                    "a row's line out of order or past the page");
            number = row.number;
            require(!row.cells.empty() && row.cells.size() <= limits.columns &&
                        !row.cells.back().empty(),
                    "a row without cells, past the bound or with an empty last cell");
            for (const std::string& cell : row.cells) {
                check_text(cell, tags_checked);
                text += cell.size();
            }
            cells += row.cells.size();
        }
        rows += sheet.rows.size();
    }
    require(rows <= tags, "more rows than tags");
    require(cells <= limits.cells, "more cells than the bound");
    require(text <= 3 * size + limits.spanned_text_bytes, "more text than the bound");

    if (!utf16) {
        require(read(with_capital_tag_names(page)) == first, "capital tag names read otherwise");
    }
    bool ascii = true;
    for (const char c : page) {
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ascii) {
        require(read("\xEF\xBB\xBF" + std::string(page)) == first,
                "a UTF-8 byte-order mark changes an ASCII page");
        std::string utf16_page = "\xFF\xFE";
        for (const char c : page) {
            utf16_page += c;
            utf16_page += '\0';
        }
        require(read(utf16_page) == first, "an ASCII page reads otherwise in UTF-16");
    }
    return 0;
}
