#include "export/same_match.hpp"

#include <algorithm>

#include "calendar/folded_text.hpp"
#include "export/match_identity.hpp"
#include "io/text.hpp"

namespace gironario {

std::span<const MatchTag> tags_with(MatchTags& tags, const MatchRecord& match,
                                    std::span<const MatchRecord* const> also,
                                    std::vector<MatchTag>& out) {
    out.clear();
    const auto add = [&](std::span<const MatchTag> found) {
        for (const MatchTag& tag : found) {
            // The same file named from two folders is one tag.
            if (std::none_of(out.begin(), out.end(),
                             [&](const MatchTag& had) { return had.name == tag.name; })) {
                out.push_back(tag);
            }
        }
    };
    add(tags.of(match));
    for (const MatchRecord* other : also) {
        add(tags.of(*other));
    }
    return out;
}

SameMatches::SameMatches(OnceSink& sink, CalendarChecks& checks,
                         std::span<const Calendar> calendars, std::string_view result_name)
    : sink_(sink), checks_(checks), result_(result_name), counts_(calendars.size()) {
    for (const Calendar& calendar : calendars) {
        names_.push_back(calendar.name());
        plain_names_.push_back(without_copy_mark(base_name(calendar.name())));
    }
}

void SameMatches::match(const MatchRecord& match, const BookedWith* booked) {
    if (match.dating != Dating::dated) {
        // Not on any day: nothing to be the same as.
        flush();
        sink_.match(match, booked);
        return;
    }
    if (held_count_ > 0 && match.start != held_start_) {
        flush();
    }
    held_start_ = match.start;
    if (held_.size() == held_count_) {
        held_.emplace_back();
    }
    const std::size_t index = held_count_++;
    Held& held = held_[index];
    held.match = match;
    held.repeat = false;
    held.also.clear();
    held.booked = booked != nullptr;
    if (booked != nullptr) {
        // The check's verdict holds only until it takes the next match.
        held.booked_with = *booked;
        held.booked_number = booked->number;
        held.booked_place = booked->place;
        held.booked_title = booked->title;
    }
    if (!identity_repeats(index)) {
        content_repeats(index);
    }
}

bool SameMatches::identity_repeats(std::size_t index) {
    Held& held = held_[index];
    const MatchRecord& match = held.match;
    identity_.clear();
    fresh_identity_ = false;
    if (!append_identity(identity_, match, plain_names_[match.calendar])) {
        return false;
    }
    identity_ += '\x1F';
    identity_ += std::to_string(++counts_[match.calendar][identity_]);
    const auto [at, fresh] =
        identities_.try_emplace(identity_, First{match.calendar, match.line_number, match.start});
    if (fresh) {
        fresh_identity_ = true;
        return false;
    }
    const First first = at->second;
    held.repeat = true;
    ++repeats_;
    if (first.start == match.start) {
        for (std::size_t i = 0; i < index; ++i) {
            Held& other = held_[i];
            if (!other.repeat && other.match.calendar == first.calendar &&
                other.match.line_number == first.line_number) {
                other.also.push_back(index);
                break;
            }
        }
    }
    tell(match, first.calendar, first.line_number);
    return true;
}

void SameMatches::content_repeats(std::size_t index) {
    Held& held = held_[index];
    const MatchRecord& match = held.match;
    held.key.clear();
    append_folded(held.key, match.place, is_utf8(match.place));
    held.key += '\x1F';
    append_folded(held.key, match_title(match, is_utf8(match.line)), true);
    for (std::size_t i = 0; i < index; ++i) {
        Held& other = held_[i];
        // A calendar that lists a match twice keeps both, as the text formats do.
        if (other.repeat || other.key != held.key || other.match.calendar == match.calendar ||
            std::any_of(other.also.begin(), other.also.end(),
                        [&](std::size_t j) { return held_[j].match.calendar == match.calendar; })) {
            continue;
        }
        other.also.push_back(index);
        held.repeat = true;
        ++repeats_;
        if (fresh_identity_) {
            // Its identity met again later is the record that stands for it.
            identities_[identity_] =
                First{other.match.calendar, other.match.line_number, other.match.start};
        }
        tell(match, other.match.calendar, other.match.line_number);
        return;
    }
}

void SameMatches::tell(const MatchRecord& match, std::size_t calendar, long long line_number) {
    const MessageText& text = checks_.text();
    message_.clear();
    text.own(message_, "la gara ");
    text.foreign(message_, match.number);
    text.own(message_, " \xE8 anche in ");
    text.foreign(message_, names_[calendar]);
    message_ += ':';
    message_ += std::to_string(line_number);
    text.own(message_, ", ed \xE8 una sola in ");
    text.foreign(message_, result_);
    checks_.problem(match, message_);
}

void SameMatches::flush() {
    for (std::size_t i = 0; i < held_count_; ++i) {
        Held& held = held_[i];
        if (held.repeat) {
            sink_.repeated(held.match);
            continue;
        }
        also_.clear();
        for (const std::size_t j : held.also) {
            also_.push_back(&held_[j].match);
        }
        const BookedWith* booked = nullptr;
        if (held.booked) {
            held.booked_with.number = held.booked_number;
            held.booked_with.place = held.booked_place;
            held.booked_with.title = held.booked_title;
            booked = &held.booked_with;
        }
        sink_.set_also(also_);
        sink_.match(held.match, booked);
        sink_.set_also({});
    }
    held_count_ = 0;
}

void SameMatches::day_break() {
    flush();
    sink_.day_break();
}

void SameMatches::skipped(const Calendar& calendar) {
    flush();
    sink_.skipped(calendar);
}

void SameMatches::finish() {
    flush();
}

}  // namespace gironario
