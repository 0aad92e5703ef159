#include "export/match_tags.hpp"

#include <algorithm>

#include "export/day_page.hpp"
#include "export/ics_text.hpp"
#include "io/text.hpp"

namespace gironario {

MatchTags::MatchTags(std::span<const Calendar> calendars, const TeamFilter* teams)
    : teams_(teams != nullptr && !teams->keeps_all() ? teams : nullptr) {
    for (const Calendar& calendar : calendars) {
        calendar_tags_.emplace_back(calendar_tag(calendar.name()));
    }
}

std::span<const MatchTag> MatchTags::of(const MatchRecord& match) {
    found_.clear();
    if (teams_ != nullptr) {
        for (const std::size_t team : teams_named(*teams_, match)) {
            found_.push_back({teams_->typed()[team], team});
        }
    }
    if (found_.empty() && !match.league.empty()) {
        auto league = std::find(leagues_.begin(), leagues_.end(), match.league);
        if (league == leagues_.end()) {
            league = leagues_.insert(leagues_.end(), match.league);
        }
        found_.push_back(
            {*league, calendar_tags_.size() + static_cast<std::size_t>(league - leagues_.begin())});
    }
    if (found_.empty()) {
        found_.push_back({calendar_tags_[match.calendar], match.calendar});
    }
    return found_;
}

std::string categories_of(std::span<const MatchTag> tags) {
    std::string value;
    for (const MatchTag& tag : tags) {
        if (!value.empty()) {
            value += ',';
        }
        append_text_value(value, tag.name, is_utf8(tag.name));
    }
    return value;
}

}  // namespace gironario
