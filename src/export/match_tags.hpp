#pragma once

// The tags a match carries on the page and in its event's CATEGORIES: the --squadra texts it
// names, as the user typed them; else its table's league; else its calendar's name. Each with
// the number of its colour on the page.

#include <cstddef>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar.hpp"
#include "calendar/team_filter.hpp"

namespace gironario {

struct MatchTag {
    std::string_view name;
    std::size_t colour = 0;
};

class MatchTags {
  public:
    // The tags of the matches of `calendars`; `teams` (null for none) must outlive it.
    MatchTags(std::span<const Calendar> calendars, const TeamFilter* teams);

    // The tags of `match`, one at least; valid until the next call.
    std::span<const MatchTag> of(const MatchRecord& match);

  private:
    std::vector<std::string> calendar_tags_;  // calendar_tag() of each calendar's name
    const TeamFilter* teams_;
    std::deque<std::string> leagues_;  // in the order met, each its colour after the calendars'
    std::vector<MatchTag> found_;
};

// The tags as an event's CATEGORIES value: each one escaped, parted by commas.
std::string categories_of(std::span<const MatchTag> tags);

}  // namespace gironario
