#include "calendar/html_tables.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/html_characters.hpp"
#include "calendar/html_tags.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

using html::Attribute;
using html::CellText;
using html::comment_end;
using html::declared_encoding;
using html::Encoding;
using html::is_ascii_digit;
using html::is_ascii_letter;
using html::is_html_space;
using html::raw_text_end;
using html::read_tag;
using html::repaired_utf8;
using html::Tag;
using html::utf8_of_utf16;

// Browsers clip spans here, so that a page means the same grid to them and to us.
constexpr std::size_t most_columns_spanned = 1000;
constexpr long long most_rows_spanned = 65534;

// ---- Elements --------------------------------------------------------------------------------

enum class Element {
    table,
    caption,
    column,   // col, colgroup
    section,  // thead, tbody, tfoot
    row,
    cell,  // td, th
    template_,
    break_,    // br and the blocks: words on either side are apart
    raw_text,  // script, style and their like: text that is not shown
    other,
};

Element element_of(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, Element>, 11> structure = {{
        {"table", Element::table},
        {"caption", Element::caption},
        {"col", Element::column},
        {"colgroup", Element::column},
        {"thead", Element::section},
        {"tbody", Element::section},
        {"tfoot", Element::section},
        {"tr", Element::row},
        {"td", Element::cell},
        {"th", Element::cell},
        {"template", Element::template_},
    }};
    static constexpr std::array<std::string_view, 6> raw_text = {"script", "style",   "title",
                                                                 "iframe", "noembed", "noframes"};
    static constexpr std::array<std::string_view, 39> breaks = {
        "br",      "p",          "div",    "li",      "ul",       "ol",     "dl",      "dt",
        "dd",      "h1",         "h2",     "h3",      "h4",       "h5",     "h6",      "hr",
        "pre",     "blockquote", "center", "address", "article",  "aside",  "section", "header",
        "footer",  "nav",        "main",   "form",    "fieldset", "legend", "figure",  "figcaption",
        "details", "summary",    "dialog", "menu",    "dir",      "hgroup", "listing"};
    const auto named = [&](std::string_view known) { return same_ignoring_case(name, known); };
    for (const auto& [known, element] : structure) {
        if (named(known)) {
            return element;
        }
    }
    if (std::any_of(raw_text.begin(), raw_text.end(), named)) {
        return Element::raw_text;
    }
    if (std::any_of(breaks.begin(), breaks.end(), named)) {
        return Element::break_;
    }
    return Element::other;
}

// An HTML non-negative integer: digits after white space, whatever follows them ("3px" is 3).
std::optional<std::size_t> span_number(std::optional<std::string_view> value) {
    if (!value) {
        return std::nullopt;
    }
    std::string_view text = *value;
    while (!text.empty() && is_html_space(text.front())) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || !is_ascii_digit(text.front())) {
        return std::nullopt;
    }
    std::size_t number = 0;
    for (std::size_t i = 0; i < text.size() && is_ascii_digit(text[i]); ++i) {
        number =
            std::min<std::size_t>(number * 10 + static_cast<std::size_t>(text[i] - '0'), 1'000'000);
    }
    return number;
}

// ---- Tables ----------------------------------------------------------------------------------

// A cell that spans rows, as the rows below it see it.
struct Span {
    long long from = 0;   // the row of the cell itself
    long long until = 0;  // the first row it no longer covers
    std::string text;     // in its first column only
};

// A table being read: its open row, cell and caption, and the spans that reach down from the
// rows above within its section.
struct OpenTable {
    std::size_t sheet = 0;
    long long row_index = -1;  // rows begun, spanned ones included, less one
    bool row_open = false;
    long long row_line = 0;
    std::vector<std::string> row;  // the open row's columns
    std::size_t next_column = 0;
    bool cell_open = false;
    std::size_t cell_column = 0;
    std::size_t cell_columns = 1;
    long long cell_rows = 1;  // 0 to the end of the section
    CellText cell;
    bool caption_open = false;
    CellText caption;
    std::vector<Span> spans;  // by column
};

class PageReader {
  public:
    PageReader(std::string_view text, const HtmlTableLimits& limits, std::size_t text_bound)
        : text_(text), limits_(limits), text_bound_(text_bound) {}

    bool read(Workbook& out, std::string& error) {
        std::size_t at = 0;
        while (at < text_.size() && error_.empty()) {
            const std::size_t markup = std::min(text_.find('<', at), text_.size());
            if (CellText* cell = receiver(); cell != nullptr && markup > at) {
                cell->add_page_text(text_.substr(at, markup - at));
            }
            at = markup;
            if (at < text_.size()) {
                at = read_markup(at);
            }
        }
        while (!tables_.empty() && error_.empty()) {
            close_table();
        }
        if (!error_.empty()) {
            error = error_;
            out.sheets.clear();
            return false;
        }
        out = std::move(book_);
        return true;
    }

  private:
    // Reads what starts at the '<' at `at`; returns where the page goes on.
    std::size_t read_markup(std::size_t at) {
        const std::string_view rest = text_.substr(at);
        if (rest.starts_with("<!--")) {
            return comment_end(text_, at);
        }
        const char next = rest.size() > 1 ? rest[1] : '\0';
        const char after = rest.size() > 2 ? rest[2] : '\0';
        if (next == '!' || next == '?' ||
            (next == '/' && rest.size() > 2 && !is_ascii_letter(after))) {
            // A doctype, a processing instruction or other bogus comment; "</>" is nothing.
            const std::size_t end = text_.find('>', at + 2);
            return end == std::string_view::npos ? text_.size() : end + 1;
        }
        if (!is_ascii_letter(next) && !(next == '/' && is_ascii_letter(after))) {
            if (CellText* cell = receiver()) {
                cell->add(next == '/' ? "</" : "<");
            }
            return at + (next == '/' ? 2 : 1);
        }
        Tag tag;
        std::size_t end = at;
        if (!read_tag(text_, end, tag)) {
            return text_.size();
        }
        const Element element = element_of(tag.name);
        if (tag.end) {
            end_tag(element);
        } else {
            start_tag(element, tag, at);
            if (element == Element::raw_text) {
                return raw_text_end(text_, end, tag.name);
            }
        }
        return end;
    }

    void start_tag(Element element, const Tag& tag, std::size_t at) {
        if (element == Element::template_) {
            ++template_depth_;
        }
        if (template_depth_ > 0) {
            return;  // a template's content is not shown, nor its tables
        }
        if (element == Element::table) {
            // A table where no cell is open ends the one before, as in a browser.
            if (!tables_.empty() && !tables_.back().cell_open && !tables_.back().caption_open) {
                close_table();
            }
            add_break();
            open_table();
            return;
        }
        if (element == Element::break_) {
            add_break();
            return;
        }
        if (tables_.empty()) {
            return;  // a row or a cell outside any table is no part of one
        }
        OpenTable& table = tables_.back();
        switch (element) {
            case Element::caption:
                close_row(table);
                close_caption(table);
                table.spans.clear();
                table.caption_open = true;
                table.caption = CellText{};
                break;
            case Element::column:
            case Element::section:
                close_caption(table);
                close_row(table);
                table.spans.clear();  // spans stop at the end of their section
                break;
            case Element::row:
                close_caption(table);
                close_row(table);
                open_row(table, line_at(at));
                break;
            case Element::cell:
                close_caption(table);
                close_cell(table);
                if (!table.row_open) {
                    open_row(table, line_at(at));
                }
                open_cell(table, tag);
                break;
            default:
                break;
        }
    }

    void end_tag(Element element) {
        if (template_depth_ > 0) {
            template_depth_ -= element == Element::template_ ? 1 : 0;
            return;
        }
        if (element == Element::break_) {
            add_break();
            return;
        }
        if (tables_.empty()) {
            return;
        }
        OpenTable& table = tables_.back();
        switch (element) {
            case Element::table:
                close_table();
                add_break();
                break;
            case Element::caption:
                close_caption(table);
                break;
            case Element::cell:
                close_cell(table);
                break;
            case Element::row:
                close_row(table);
                break;
            case Element::section:
                close_row(table);
                table.spans.clear();
                break;
            default:
                break;
        }
    }

    // Where text goes now: the innermost table's open cell or caption, else nowhere.
    CellText* receiver() {
        if (template_depth_ > 0 || tables_.empty()) {
            return nullptr;
        }
        OpenTable& table = tables_.back();
        return table.cell_open ? &table.cell : table.caption_open ? &table.caption : nullptr;
    }

    void add_break() {
        if (CellText* cell = receiver()) {
            cell->space = true;
        }
    }

    void open_table() {
        if (book_.sheets.size() >= limits_.tables) {
            fail("la pagina ha pi\xF9 di " + std::to_string(limits_.tables) +
                 " tabelle: salvare a parte la sola tabella del calendario");
            return;
        }
        book_.sheets.emplace_back();
        tables_.emplace_back();
        tables_.back().sheet = book_.sheets.size() - 1;
    }

    void close_table() {
        OpenTable& table = tables_.back();
        close_caption(table);
        close_row(table);
        tables_.pop_back();
    }

    void close_caption(OpenTable& table) {
        if (!table.caption_open) {
            return;
        }
        table.caption_open = false;
        std::string& name = book_.sheets[table.sheet].name;
        if (name.empty() && count_text(table.caption.text.size())) {
            name = std::move(table.caption.text);
        }
    }

    void open_row(OpenTable& table, long long line) {
        table.row_open = true;
        table.row_line = line;
        table.row.clear();
        table.next_column = 0;
        const long long row = ++table.row_index;
        // Spans that have ended are let go, so that a row only looks as far as the spans reach.
        while (!table.spans.empty() && table.spans.back().until <= row) {
            table.spans.pop_back();
        }
        for (std::size_t column = 0; column < table.spans.size(); ++column) {
            if (!covered(table, column)) {
                continue;
            }
            if (!widen(table, column + 1) || !count_text(table.spans[column].text.size())) {
                return;
            }
            table.row[column] = table.spans[column].text;
        }
    }

    static bool covered(const OpenTable& table, std::size_t column) {
        return column < table.spans.size() && table.spans[column].from < table.row_index &&
               table.spans[column].until > table.row_index;
    }

    void open_cell(OpenTable& table, const Tag& tag) {
        std::size_t column = table.next_column;
        while (covered(table, column)) {
            ++column;
        }
        const std::size_t columns = std::clamp<std::size_t>(
            span_number(tag[Attribute::colspan]).value_or(1), 1, most_columns_spanned);
        if (column + columns > limits_.columns) {
            fail("una tabella della pagina ha pi\xF9 di " + std::to_string(limits_.columns) +
                 " colonne");
            return;
        }
        if (!widen(table, column + columns)) {
            return;
        }
        table.cell_open = true;
        table.cell_column = column;
        table.cell_columns = columns;
        table.cell_rows = static_cast<long long>(
            std::min<std::size_t>(span_number(tag[Attribute::rowspan]).value_or(1),
                                  static_cast<std::size_t>(most_rows_spanned)));
        table.cell = CellText{};
        table.next_column = column + columns;
    }

    void close_cell(OpenTable& table) {
        if (!table.cell_open) {
            return;
        }
        table.cell_open = false;
        std::string& text = table.cell.text;
        if (!count_text(text.size())) {
            return;
        }
        if (table.cell_rows != 1) {
            const long long until = table.cell_rows == 0 ? std::numeric_limits<long long>::max()
                                                         : table.row_index + table.cell_rows;
            const std::size_t end = table.cell_column + table.cell_columns;
            if (table.spans.size() < end) {
                table.spans.resize(end);
            }
            for (std::size_t column = table.cell_column; column < end; ++column) {
                Span& span = table.spans[column];
                // Where a span from above still reaches the next row, the cells overlap: the
                // one placed first keeps the column, as in the table model.
                if (span.until <= table.row_index + 1) {
                    span = {table.row_index, until,
                            column == table.cell_column ? text : std::string()};
                }
            }
        }
        table.row[table.cell_column] = std::move(text);
    }

    void close_row(OpenTable& table) {
        close_cell(table);
        if (!table.row_open) {
            return;
        }
        table.row_open = false;
        while (!table.row.empty() && table.row.back().empty()) {
            table.row.pop_back();
        }
        if (table.row.empty()) {
            return;
        }
        std::vector<SheetRow>& rows = book_.sheets[table.sheet].rows;
        if (rows.size() >= limits_.rows) {
            fail("una tabella della pagina ha pi\xF9 di " + std::to_string(limits_.rows) +
                 " righe");
            return;
        }
        rows.push_back({table.row_line, std::move(table.row)});
        table.row = {};
    }

    // Makes the open row `width` columns wide, within the bound on all cells.
    bool widen(OpenTable& table, std::size_t width) {
        if (width <= table.row.size()) {
            return true;
        }
        const std::size_t more = width - table.row.size();
        if (more > limits_.cells - cells_) {
            fail("le tabelle della pagina hanno pi\xF9 di " + std::to_string(limits_.cells) +
                 " celle in tutto");
            return false;
        }
        cells_ += more;
        table.row.resize(width);
        return true;
    }

    bool count_text(std::size_t bytes) {
        if (bytes > text_bound_ - text_bytes_) {
            fail("le celle unite su pi\xF9 righe ripetono troppo testo (oltre " +
                 std::to_string(text_bound_) + " byte)");
            return false;
        }
        text_bytes_ += bytes;
        return true;
    }

    // The line of the page (from 1) where `at` stands; asked in the page's order.
    long long line_at(std::size_t at) {
        for (; counted_ < at; ++counted_) {
            const char c = text_[counted_];
            if (c == '\n' ||
                (c == '\r' && (counted_ + 1 >= text_.size() || text_[counted_ + 1] != '\n'))) {
                ++line_;
            }
        }
        return line_;
    }

    void fail(std::string message) {
        if (error_.empty()) {
            error_ = std::move(message);
        }
    }

    std::string_view text_;
    const HtmlTableLimits& limits_;
    std::size_t text_bound_;
    Workbook book_;
    std::vector<OpenTable> tables_;  // innermost last
    std::size_t template_depth_ = 0;
    std::size_t cells_ = 0;
    std::size_t text_bytes_ = 0;
    std::size_t counted_ = 0;
    long long line_ = 1;
    std::string error_;
};

}  // namespace

bool read_html_tables(std::string_view page, Workbook& out, std::string& error) {
    return read_html_tables(page, out, error, HtmlTableLimits{});
}

bool read_html_tables(std::string_view page, Workbook& out, std::string& error,
                      const HtmlTableLimits& limits) {
    out.sheets.clear();
    if (page.size() > limits.page_bytes) {
        error = "la pagina \xE8 troppo grande (oltre " + std::to_string(limits.page_bytes) +
                " byte): salvare a parte la sola tabella del calendario";
        return false;
    }
    std::string decoded;
    std::string_view text = page;
    if (page.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        if (!is_utf8(text)) {
            decoded = repaired_utf8(text);
            text = decoded;
        }
    } else if (page.starts_with("\xFF\xFE") || page.starts_with("\xFE\xFF")) {
        decoded = utf8_of_utf16(page.substr(2), page[0] == '\xFE');
        text = decoded;
    } else {
        const std::optional<Encoding> declared = declared_encoding(page.substr(0, 1024));
        const bool utf8 = is_utf8(page);
        if (declared == Encoding::windows_1252 || (!declared && !utf8)) {
            decoded = utf8_of_windows_1252(page);
            text = decoded;
        } else if (!utf8) {
            decoded = repaired_utf8(page);
            text = decoded;
        }
    }
    // Decoding makes at most three bytes of one; only rowspans repeat text beyond that.
    const std::size_t most = std::numeric_limits<std::size_t>::max();
    const std::size_t text_bound = page.size() > (most - limits.spanned_text_bytes) / 3
                                       ? most
                                       : 3 * page.size() + limits.spanned_text_bytes;
    return PageReader(text, limits, text_bound).read(out, error);
}

}  // namespace gironario
