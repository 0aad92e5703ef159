#pragma once

#include "calendar/calendar_line.hpp"
#include "calendar/line_writer.hpp"

namespace gironario {

// Where the merge puts what it decides, in order: the match lines it takes and the day breaks.
class MergeSink {
  public:
    virtual ~MergeSink() = default;

    // Takes the calendar's held match line, consuming it (calendar.width is already worked out).
    virtual void match(Calendar& calendar) = 0;

    // An empty line between days (or after a tie).
    virtual void day_break() = 0;

    // Whether writing has failed: the merge then stops.
    virtual bool failed() const = 0;
};

// The merged text: match lines as write_match_line() writes them, day breaks as empty lines.
class MergedText final : public MergeSink {
  public:
    explicit MergedText(LineWriter& out) : out_(out) {}

    void match(Calendar& calendar) override { write_match_line(calendar, out_); }
    void day_break() override { out_.put('\n'); }
    bool failed() const override { return out_.failed(); }

  private:
    LineWriter& out_;
};

// Merges two calendars, each in chronological order, into one, and returns the number of match
// lines taken. Lines that are not match lines are dropped. Of two matches the one earlier by
// year, month, day, hour and minute comes first; at a tie calendar 1's match comes first and a
// day break follows the pair. A match that comes first by its date (not by its time alone) is
// followed by a day break. When one calendar ends, the rest of the other is copied. A calendar
// with a check has it told about each match line just before the line goes to `out`.
//
// Stops early, leaving the output incomplete, when a read or a write fails: the caller asks the
// readers and the sink.
long long merge(Calendar& first, Calendar& second, MergeSink& out);

// The merged text into `out`.
long long merge(Calendar& first, Calendar& second, LineWriter& out);

template <typename Inner>
class ClashSink;

// The merged text, each match line shown to a clash check first (clash_sink.hpp): with the calls
// to the sink inline, as for the merged text alone.
long long merge(Calendar& first, Calendar& second, ClashSink<MergedText>& out);

}  // namespace gironario
