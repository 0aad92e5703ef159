#include "export/table_export.hpp"

#include <string_view>

namespace gironario {

namespace {

// At most this many spaces of a line become field boundaries: five fields at the most.
constexpr int COLONNEEXCEL = 4;

}  // namespace

struct TableTexts {
    std::string_view before;
    bool numbered;  // each row starts with its number and a tab
    std::string_view row_start;
    std::string_view separator;
    std::string_view row_end;
    std::string_view after;
};

namespace {

constexpr TableTexts spreadsheet_texts = {"", true, "", "\t", "", ""};

constexpr TableTexts web_page_texts = {
    "<HTML>\n<BODY>\n<TABLE border=1 bgcolor=#80ff80>\n"
    "<TR><TD><b>N</b></TD><TD align=center><b>DATA</b></TD><TD align=center><b>ORARIO</b></TD>"
    "<TD align=center><b>LUOGO</b></TD><TD align=center><b>PARTITA</b></TD></TR>",
    false,
    "<TR bgcolor=#c0ffff>\n\t<TD>",
    "</TD>\n\t<TD>",
    "\t</TD>\n</TR>\n",
    "\n</TABLE>\n</BODY>\n</HTML>",
};

// Lines that look like a heading ("Girone ...") keep their spaces: the rule looks at each of the
// first three characters on its own.
bool keeps_spaces(std::string_view line) {
    return (line.size() > 0 && line[0] == 'G') || (line.size() > 1 && line[1] == 'i') ||
           (line.size() > 2 && line[2] == 'o');
}

const TableTexts& texts_of(TableKind kind) {
    return kind == TableKind::spreadsheet ? spreadsheet_texts : web_page_texts;
}

}  // namespace

TableRows::TableRows(TableKind kind, LineWriter& out) : texts_(texts_of(kind)), out_(out) {
    out_.put(texts_.before);
}

void TableRows::row_start() {
    ++rows_;
    if (texts_.numbered) {
        out_.put_number(rows_);
        out_.put('\t');
    }
    out_.put(texts_.row_start);
}

void TableRows::pending_day_breaks() {
    for (; day_breaks_ > 0; --day_breaks_) {
        row_start();
        out_.put('\n');
        out_.put(texts_.row_end);
    }
}

void TableRows::put_fields(std::string_view piece) {
    for (; separators_ < COLONNEEXCEL; ++separators_) {
        const std::size_t space = piece.find(' ');
        if (space == piece.npos) {
            break;
        }
        out_.put(piece.substr(0, space));
        out_.put(texts_.separator);
        piece.remove_prefix(space + 1);
    }
    out_.put(piece);
}

void TableRows::begin_row(std::string_view head) {
    pending_day_breaks();
    row_start();
    separators_ = keeps_spaces(head) ? COLONNEEXCEL : 0;
}

void TableRows::end_row() {
    out_.put('\n');
    out_.put(texts_.row_end);
}

void TableRows::finish() {
    out_.put(texts_.after);
}

void TableSink::match(const MatchRecord& match, const BookedWith*) {
    rows_.begin_row(match.line);
    rows_.put_fields(match.line);
    rows_.end_row();
}

void export_table(TableKind kind, LineReader& merged, long long matches, LineWriter& out) {
    TableRows rows(kind, out);
    // The rows end with the last match line: day breaks after it are not rows...
    long long taken = 0;
    for (; taken < matches && !out.failed() && merged.next();) {
        const std::string_view line = merged.line();
        if (line.empty()) {
            rows.day_break();
            continue;
        }
        rows.begin_row(line);
        rows.put_fields(line);
        rows.end_row();
        ++taken;
    }
    // ...unless the text ends before the last match it was said to hold.
    if (taken < matches) {
        rows.day_breaks_now();
    }
    rows.finish();
}

}  // namespace gironario
