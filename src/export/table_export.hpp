#pragma once

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

// The same table made as the merge goes, without the merged text in a file between: the same
// bytes as export_table() makes from that text. The text before the rows is written at once.
class TableSink final : public MergeSink {
  public:
    TableSink(TableKind kind, LineWriter& out);

    // The row of the held match line, after a row for each day break before it.
    void match(Calendar& calendar) override;
    // Day breaks become rows only when a match follows them, as in export_table().
    void day_break() override { ++day_breaks_; }
    bool failed() const override { return out_.failed(); }

    // Writes the text after the rows; once the merge is over.
    void finish();

  private:
    TableKind kind_;
    LineWriter& out_;
    long long rows_ = 0;
    long long day_breaks_ = 0;
};

}  // namespace gironario
