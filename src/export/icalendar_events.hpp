#pragma once

// The merge feeding the iCalendar export: each match line it takes becomes an event, and day
// breaks mean nothing in a calendar of events.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/icalendar.hpp"
#include "export/match_tags.hpp"
#include "export/same_match.hpp"

namespace gironario {

// Where the lines of each of `calendars` come from, as their events name them: the file names
// without folders, and for a file name that an earlier calendar has too, its rank among them.
std::vector<IcsSource> ics_sources(std::span<const Calendar> calendars);

class IcalendarEvents final : public OnceSink {
  public:
    // Events of `calendars`' matches, written by `writer` through `out`; the matches left out are
    // told through `checks` as missing from `file_name`.
    IcalendarEvents(IcsWriter& writer, LineWriter& out, std::span<const Calendar> calendars,
                    CalendarChecks& checks, std::string_view file_name,
                    const TeamFilter* teams = nullptr);

    // Writes the event of the held line, or tells the checks why it is left out (a line whose
    // date or time is out of place has been told of by the checks themselves).
    void match(const MatchRecord& match, const BookedWith* booked) override;
    // A match of a table or an iCalendar file that cannot be dated, told of already: counted
    // for its UID, and its event kept when the previous file has it. After the merge. Whether it
    // is an event all the same: one whose day is known, its time not set yet.
    bool unplaced(const MatchRecord& match);
    // A match that another calendar's event stands for, counted for its UID.
    void repeated(const MatchRecord& match) override {
        writer_.pass(match, sources_[match.calendar]);
    }
    void day_break() override {}
    bool failed() const override { return out_.failed(); }

  private:
    // The match's calendar as its event names it, with the match's tags.
    IcsSource& source_of(const MatchRecord& match);

    IcsWriter& writer_;
    LineWriter& out_;
    CalendarChecks& checks_;
    std::vector<IcsSource> sources_;  // of each calendar
    MatchTags tags_;
    std::string categories_;  // of the match in hand
    std::string where_;       // where a match left out is not, as the warnings say it
    std::string kept_where_;  // where it stays as it was
    // The tags of the match in hand and of the records it stands for.
    std::vector<MatchTag> tag_list_;
};

}  // namespace gironario
