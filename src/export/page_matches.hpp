#pragma once

// The merge feeding the page for reading: each match line it takes goes to its day, and the day
// breaks mean nothing where the page makes its own days.

#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/merge.hpp"
#include "export/day_page.hpp"

namespace gironario {

// A calendar of the merge as the page names it.
struct PageCalendar {
    const Calendar* calendar;
    std::string_view name;   // as typed
    std::string_view tag{};  // calendar_tag() of the name, worked out by PageMatches
};

class PageMatches final : public MergeSink {
  public:
    // `calendars` in the order named, which gives each its colour.
    PageMatches(DayPage& page, LineWriter& out, std::vector<PageCalendar> calendars);

    // Writes the held line to the page; a line whose date or time does not exist is told to the
    // calendar's check (a line whose date or time is out of place has been told by the check).
    void match(Calendar& calendar) override;
    void day_break() override {}
    bool failed() const override { return out_.failed(); }

  private:
    DayPage& page_;
    LineWriter& out_;
    std::vector<PageCalendar> calendars_;
    std::string line_;  // a line longer than the reader's buffer, gathered whole
};

// Why a match line is not under its day, in Italian (Latin-1 text): the match number, the date
// and time as read, and where the line is instead. For a line whose date or time does not exist.
std::string page_left_out_reason(std::string_view line, int width, int year_digits);

}  // namespace gironario
