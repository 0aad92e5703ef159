#pragma once

// The merge feeding the page for reading: each match line it takes goes to its day, and the day
// breaks mean nothing where the page makes its own days.

#include <string>
#include <string_view>
#include <vector>

#include <span>

#include "calendar/calendar_line.hpp"
#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/day_page.hpp"

namespace gironario {

class PageMatches final : public MergeSink {
  public:
    // The lines of `calendars`, in the order named, which gives each its colour; the lines whose
    // date or time does not exist are told through `checks`.
    PageMatches(DayPage& page, LineWriter& out, std::span<const Calendar> calendars,
                CalendarChecks& checks);

    // Writes the held line to the page, with a note when the checks found its place booked by an
    // earlier match; a line whose date or time does not exist is told to the checks (a line whose
    // date or time is out of place has been told by the checks themselves).
    void match(Calendar& calendar) override;
    void day_break() override {}
    bool failed() const override { return out_.failed(); }

  private:
    DayPage& page_;
    LineWriter& out_;
    CalendarChecks& checks_;
    std::vector<std::string> tags_;  // calendar_tag() of each calendar's name
    std::string line_;               // a line longer than the reader's buffer, gathered whole
    std::string note_;               // the note of a place booked twice, kept for its capacity
};

// Why a match line is not under its day, in Italian (Latin-1 text): the match number, the date
// and time as read, and where the line is instead. For a line whose date or time does not exist.
std::string page_left_out_reason(std::string_view line, int width, int year_digits);

}  // namespace gironario
