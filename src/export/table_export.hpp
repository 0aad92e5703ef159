#pragma once

#include <string_view>
#include "calendar/merge.hpp"

#include "io/line_reader.hpp"
#include "io/line_writer.hpp"

namespace gironario {

enum class TableKind { spreadsheet, web_page };

// Turns merged text into a table: every line up to the last match line becomes a row, and the
// first four spaces of a line become field boundaries (number, date, time, place, match). The
// spreadsheet is tab-separated text whose rows start with their number; the web page is an HTML
// table with a title row. `matches` is the number of match lines in the merged text.
//
// Stops early when a read or a write fails: the caller asks the reader and the writer.
void export_table(TableKind kind, LineReader& merged, long long matches, LineWriter& out);

struct TableTexts;

// The rows of a table, from merged text read back or from the merge itself: one way to make them,
// so that both give the same bytes. Writes the text before the rows at once.
class TableRows {
  public:
    TableRows(TableKind kind, LineWriter& out);

    // An empty line between days: a row only when a match line follows it.
    void day_break() { ++day_breaks_; }
    // A match line's row: begin_row() with the line's first bytes, put_fields() with its pieces
    // in order, as the merged text holds them, then end_row().
    void begin_row(std::string_view head);
    void put_fields(std::string_view piece);
    void end_row();
    // Writes the rows of the day breaks that no match line has followed yet.
    void day_breaks_now() { pending_day_breaks(); }
    // Writes the text after the rows.
    void finish();

  private:
    void row_start();
    void pending_day_breaks();

    const TableTexts& texts_;
    LineWriter& out_;
    long long rows_ = 0;
    long long day_breaks_ = 0;
    int separators_ = 0;  // spaces of the row's line turned into field separators so far
};

// The same table made as the merge goes, without the merged text in a file between.
class TableSink final : public MergeSink {
  public:
    TableSink(TableKind kind, LineWriter& out) : rows_(kind, out), out_(out) {}

    void match(const MatchRecord& match, const BookedWith* booked) override;
    void day_break() override { rows_.day_break(); }
    bool failed() const override { return out_.failed(); }

    // Writes the text after the rows; once the merge is over.
    void finish() { rows_.finish(); }

  private:
    TableRows rows_;
    LineWriter& out_;
};

}  // namespace gironario
