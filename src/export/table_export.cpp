#include "export/table_export.hpp"

#include <string_view>

namespace gironario {

namespace {

// At most this many spaces of a line become field boundaries: five fields at the most.
constexpr int COLONNEEXCEL = 4;

struct TableTexts {
    std::string_view before;
    bool numbered;  // each row starts with its number and a tab
    std::string_view row_start;
    std::string_view separator;
    std::string_view row_end;
    std::string_view after;
};

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

// Writes a piece of a row's line with its first spaces, up to COLONNEEXCEL of them in the whole
// line (`separators` counts those already turned), turned into field separators.
void put_fields(LineWriter& out, std::string_view piece, int& separators,
                std::string_view separator) {
    for (; separators < COLONNEEXCEL; ++separators) {
        const std::size_t space = piece.find(' ');
        if (space == piece.npos) {
            break;
        }
        out.put(piece.substr(0, space));
        out.put(separator);
        piece.remove_prefix(space + 1);
    }
    out.put(piece);
}

const TableTexts& texts_of(TableKind kind) {
    return kind == TableKind::spreadsheet ? spreadsheet_texts : web_page_texts;
}

// The row loop, built once for each kind so that the lengths of its texts are constants and
// writing them costs a few moves rather than a call.
template <const TableTexts& texts>
void write_rows(LineReader& merged, long long matches, LineWriter& out) {
    out.put(texts.before);
    // The bound grows by one for every day-break line, so the rows end with the last match line.
    long long rows = matches;
    for (long long row = 0; row < rows && !out.failed() && merged.next(); ++row) {
        if (texts.numbered) {
            out.put_number(row + 1);
            out.put('\t');
        }
        out.put(texts.row_start);
        if (merged.whole() && merged.head().empty()) {
            ++rows;
        }
        int separators = keeps_spaces(merged.head()) ? COLONNEEXCEL : 0;
        merged.consume([&](std::string_view piece, std::size_t) {
            put_fields(out, piece, separators, texts.separator);
        });
        out.put('\n');
        out.put(texts.row_end);
    }
    out.put(texts.after);
}

}  // namespace

TableSink::TableSink(TableKind kind, LineWriter& out) : kind_(kind), out_(out) {
    out_.put(texts_of(kind_).before);
}

void TableSink::match(Calendar& calendar) {
    const TableTexts& texts = texts_of(kind_);
    const auto row_start = [&] {
        ++rows_;
        if (texts.numbered) {
            out_.put_number(rows_);
            out_.put('\t');
        }
        out_.put(texts.row_start);
    };
    for (; day_breaks_ > 0; --day_breaks_) {
        row_start();
        out_.put('\n');
        out_.put(texts.row_end);
    }
    row_start();
    // The century digits left out never stand among the first three characters.
    int separators = keeps_spaces(calendar.lines.head()) ? COLONNEEXCEL : 0;
    consume_written(calendar, [&](std::string_view piece) {
        put_fields(out_, piece, separators, texts.separator);
    });
    out_.put('\n');
    out_.put(texts.row_end);
}

void TableSink::finish() {
    out_.put(texts_of(kind_).after);
}

void export_table(TableKind kind, LineReader& merged, long long matches, LineWriter& out) {
    if (kind == TableKind::spreadsheet) {
        write_rows<spreadsheet_texts>(merged, matches, out);
    } else {
        write_rows<web_page_texts>(merged, matches, out);
    }
}

}  // namespace gironario
