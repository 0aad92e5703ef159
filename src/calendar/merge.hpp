#pragma once

#include <span>

#include "calendar/calendar.hpp"
#include "io/line_writer.hpp"

namespace gironario {

struct BookedWith;

// Where the merge puts what it decides, in order: the matches it takes and the day breaks.
class MergeSink {
  public:
    virtual ~MergeSink() = default;

    // Takes a match, with the clash check's verdict on it: the earlier match booked in its place
    // at its time, or null (always null where no check runs).
    virtual void match(const MatchRecord& match, const BookedWith* booked) = 0;

    // An empty line between days (or after a tie).
    virtual void day_break() = 0;

    // The calendar's held line is not a match line and is passed over.
    virtual void skipped(const Calendar& /*calendar*/) {}

    // Whether writing has failed: the merge then stops.
    virtual bool failed() const = 0;
};

// The merged text: each match's line and a line feed, day breaks as empty lines.
class MergedText final : public MergeSink {
  public:
    explicit MergedText(LineWriter& out) : out_(out) {}

    void match(const MatchRecord& match, const BookedWith*) override {
        out_.put(match.line);
        out_.put('\n');
    }
    void day_break() override { out_.put('\n'); }
    bool failed() const override { return out_.failed(); }

  private:
    LineWriter& out_;
};

// Merges calendars, each in chronological order, into one, and returns the number of matches
// taken. Lines that are not match lines are dropped. Of the calendars' held matches the one earlier
// by year, month, day, hour and minute comes first, and between equal ones the calendar named
// first. A match that comes first by its date (not by its time alone) is followed by a day break;
// matches equal to the minute are taken together, one from each calendar that holds one, in the
// order the calendars are named, and followed by one day break. When one calendar is left, the
// rest of it is copied, without day breaks. Sets each calendar's index to its place in
// `calendars`.
//
// Stops early, leaving the output incomplete, when a read or a write fails: the caller asks the
// calendars and the sink.
long long merge(std::span<Calendar> calendars, MergeSink& out);

// The merged text into `out`.
long long merge(std::span<Calendar> calendars, LineWriter& out);

}  // namespace gironario
