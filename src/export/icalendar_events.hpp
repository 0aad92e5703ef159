#pragma once

// The merge feeding the iCalendar export: each match line it takes becomes an event, and day
// breaks mean nothing in a calendar of events.

#include <string>
#include <string_view>

#include "calendar/calendar_line.hpp"
#include "calendar/merge.hpp"
#include "export/icalendar.hpp"

namespace gironario {

class IcalendarEvents final : public MergeSink {
  public:
    // `first` is the merge's first calendar: its lines come from `first_source`, the other
    // calendar's from `second_source` (their line numbers are the calendars' own).
    IcalendarEvents(IcsWriter& writer, LineWriter& out, const Calendar& first,
                    IcsSource first_source, IcsSource second_source);

    // Writes the event of the held line, or tells the calendar's check why it is left out (a line
    // whose date or time is out of place has been told of by the check itself).
    void match(Calendar& calendar) override;
    void day_break() override {}
    bool failed() const override { return out_.failed(); }

  private:
    IcsWriter& writer_;
    LineWriter& out_;
    const Calendar& first_;
    IcsSource first_source_;
    IcsSource second_source_;
    std::string line_;  // a line longer than the reader's buffer, gathered whole
};

}  // namespace gironario
