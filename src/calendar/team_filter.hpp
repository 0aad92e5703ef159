#pragma once

// The teams a run is asked to keep (--squadra): a match is kept when its teams or title name
// any of them, however the calendar spells the case, the accents and the spaces.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gironario {

class TeamFilter {
  public:
    // The texts wanted, as typed: UTF-8 when well-formed, else Windows-1252. With none, every
    // text is kept; a text that is only white space names every text.
    explicit TeamFilter(std::span<const std::string> wanted);

    // Whether `text` (UTF-8 when `utf8`, else Windows-1252) holds any of the wanted texts,
    // letter case, accents and repeated white space aside.
    bool keeps(std::string_view text, bool utf8) const;

    // Whether the filter keeps every text because it was given none.
    bool keeps_all() const { return wanted_.empty(); }

    // The wanted texts as typed, and whether `text` holds the `i`-th of them.
    const std::vector<std::string>& typed() const { return typed_; }
    bool names(std::size_t i, std::string_view text, bool utf8) const;

  private:
    std::vector<std::string> typed_;
    std::vector<std::string> wanted_;  // folded
};

}  // namespace gironario
