#pragma once

// The merge feeding the page for reading: each match it takes goes to its day, and the day breaks
// mean nothing where the page makes its own days.

#include <span>
#include <string>
#include <vector>

#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/day_page.hpp"
#include "export/match_tags.hpp"
#include "export/same_match.hpp"

namespace gironario {

class PageMatches final : public OnceSink {
  public:
    // The matches of `calendars`, in the order named, which gives each its colour; the matches
    // whose date or time does not exist are told through `checks`.
    PageMatches(DayPage& page, LineWriter& out, std::span<const Calendar> calendars,
                CalendarChecks& checks, const TeamFilter* teams = nullptr);

    // Writes the held match to the page, with a note when the checks found its place booked by
    // an earlier match; a match whose date or time does not exist is told to the checks (one
    // whose date or time cannot be read has been told by the checks themselves).
    void match(const MatchRecord& match, const BookedWith* booked) override;
    void day_break() override {}
    // A match that the merge does not place, for the list of those to be checked.
    void apart(const MatchRecord& match) {
        page_.match({&match, names_[match.calendar], tags_.of(match), {}});
    }
    bool failed() const override { return out_.failed(); }

  private:
    DayPage& page_;
    LineWriter& out_;
    CalendarChecks& checks_;
    std::vector<std::string> names_;  // of each calendar
    MatchTags tags_;
    std::string note_;   // the note of a place booked twice, kept for its capacity
    std::string where_;  // where a match that is not under its day is instead
    // The tags of the match in hand and of the records it stands for.
    std::vector<MatchTag> tag_list_;
};

}  // namespace gironario
