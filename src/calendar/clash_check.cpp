#include "calendar/clash_check.hpp"

#include <algorithm>
#include <optional>

#include "io/text.hpp"

namespace gironario {

namespace {

// "04/10/2026 16:30-18:30", with the end's date too when the match ends on another day.
void append_interval(std::string& text, long long start, int minutes) {
    const LocalTime from = local_time(start);
    const LocalTime to = local_time(start + minutes);
    append_date_time(text, from);
    text.push_back('-');
    if (to.year != from.year || to.month != from.month || to.day != from.day) {
        append_date(text, to);
        text.push_back(' ');
    }
    append_clock(text, to);
}

void set_place_key(std::string& key, std::string_view place) {
    key.assign(place);
    std::transform(key.begin(), key.end(), key.begin(), ascii_lower);
}

// Whether two matches at the same start in the same place are one match listed twice: their
// titles are the same, as written or as the formats show them (a tab for a space, control
// characters left out, the place for an empty title, the other encoding).
bool same_titles(std::string_view one, std::string_view one_place, std::string_view two,
                 std::string_view two_place) {
    if (!one.empty() && one == two) {
        return true;
    }
    return match_title(one, one_place, is_utf8(one)) == match_title(two, two_place, is_utf8(two));
}

}  // namespace

ClashCheck::ClashCheck(ClashSettings settings, Warn warn, std::span<const std::string> names,
                       MessageText text)
    : settings_(settings),
      warn_(std::move(warn)),
      names_(names),
      text_(text),
      last_start_(minute_number(LocalTime{9999, 12, 31, 23, 59}) + 1 - settings.duration_minutes) {}

const BookedWith* ClashCheck::take(const MatchRecord& match) {
    if (match.dating != Dating::dated || match.start >= last_start_) {
        return nullptr;
    }
    forget_ended(match.start - settings_.duration_minutes);
    set_place_key(key_, match.place);
    const long long end = match.start + settings_.duration_minutes;
    std::optional<std::size_t> booked;
    clashing_.clear();
    const auto place = key_.empty() ? by_place_.end() : by_place_.find(key_);
    const Places::value_type* const own_place = place == by_place_.end() ? nullptr : &*place;
    const auto compare = [&](std::size_t slot) {
        const Kept& other = slots_[slot];
        const bool same_place = own_place != nullptr && slot_places_[slot] == own_place;
        const bool other_calendar = settings_.overlaps && other.calendar != match.calendar;
        // Only a match out of order starts before the other has ended and may miss it.
        const bool overlapping =
            other.start < end && match.start < other.start + settings_.duration_minutes;
        if ((!same_place && !other_calendar) || !overlapping) {
            return;
        }
        if (same_place && other.start == match.start &&
            same_titles(match.title, match.place, other.title, other.place)) {
            return;  // the same match, in another calendar
        }
        // A match listed twice clashes once.
        for (const std::size_t told : clashing_) {
            const Kept& earlier = slots_[told];
            if (earlier.start == other.start && slot_places_[told] == slot_places_[slot] &&
                same_match(earlier, other)) {
                return;
            }
        }
        clashing_.push_back(slot);
        if (same_place && !booked) {
            booked = slot;
        }
        tell(match, other, same_place);
    };
    // The matches it may clash with: those of its place, or with overlaps every one.
    if (settings_.overlaps) {
        for (const std::size_t slot : playing_) {
            compare(slot);
        }
    } else if (own_place != nullptr) {
        for (const std::size_t slot : own_place->second) {
            compare(slot);
        }
    }
    keep(match, place);
    if (!booked) {
        return nullptr;
    }
    // Told once the match is kept, which may move the slots.
    const Kept& other = slots_[*booked];
    booked_ = {other.calendar, other.line_number, other.start,
               other.number,   other.place,       other.title};
    return &booked_;
}

bool ClashCheck::same_match(const Kept& one, const Kept& two) {
    return same_titles(one.title, one.place, two.title, two.place);
}

void ClashCheck::forget_ended(long long before) {
    while (!playing_.empty() && slots_[playing_.front()].start <= before) {
        const std::size_t slot = playing_.front();
        playing_.pop_front();
        free_slots_.push_back(slot);
        if (Places::value_type* const place = slot_places_[slot]; place != nullptr) {
            std::vector<std::size_t>& same_place = place->second;
            same_place.erase(std::find(same_place.begin(), same_place.end(), slot));
        }
    }
}

void ClashCheck::keep(const MatchRecord& match, Places::iterator place) {
    if (key_.empty() && !settings_.overlaps) {
        return;  // nothing would ever be compared with it
    }
    if (free_slots_.empty()) {
        free_slots_.push_back(slots_.size());
        slots_.emplace_back();
        slot_places_.push_back(nullptr);
    }
    const std::size_t slot = free_slots_.back();
    free_slots_.pop_back();
    Kept& kept = slots_[slot];
    kept.start = match.start;
    kept.calendar = match.calendar;
    kept.line_number = match.line_number;
    kept.number = match.number;
    kept.place = match.place;
    kept.title = match.title;
    slot_places_[slot] = nullptr;
    // After the kept matches that start at or before it: nearly always at the end.
    const auto later = [&](std::size_t other) { return slots_[other].start > match.start; };
    auto at = playing_.end();
    while (at != playing_.begin() && later(*std::prev(at))) {
        --at;
    }
    playing_.insert(at, slot);
    if (key_.empty()) {
        return;
    }
    if (place == by_place_.end()) {
        // The places no longer played are kept for when they are played again, as long as they
        // are not many more than the matches in play: a season's few gyms stay for good, and a
        // calendar with a new place on every line does not fill the memory.
        if (by_place_.size() > 2 * playing_.size() + 64) {
            std::erase_if(by_place_, [](const auto& entry) { return entry.second.empty(); });
        }
        place = by_place_.emplace(key_, std::vector<std::size_t>{}).first;
    }
    slot_places_[slot] = &*place;
    std::vector<std::size_t>& same_place = place->second;
    auto in_place = same_place.end();
    while (in_place != same_place.begin() && later(*std::prev(in_place))) {
        --in_place;
    }
    same_place.insert(in_place, slot);
}

void ClashCheck::finish() {
    if (told_ <= SHOWN_CLASHES) {
        return;
    }
    const long long more = told_ - SHOWN_CLASHES;
    message_.clear();
    text_.own(message_, "gironario: ");
    text_.own(message_, more_not_listed(more, "sovrapposizione", "sovrapposizioni"));
    text_.own(message_, "\n");
    told_ = SHOWN_CLASHES;
    warn_(message_);
}

void ClashCheck::tell(const MatchRecord& match, const Kept& other, bool same_place) {
    if (told_++ >= SHOWN_CLASHES) {
        return;
    }
    message_.clear();
    text_.about_line(message_, names_[match.calendar], match.line_number);
    if (same_place) {
        text_.foreign(message_, match.place);
        text_.own(message_, " \xE8 occupato anche dalla gara ");
    } else {
        text_.own(message_, "si sovrappone alla gara ");
    }
    text_.foreign(message_, other.number);
    text_.own(message_, " di ");
    text_.foreign(message_, names_[other.calendar]);
    std::string line(" (riga ");
    line.append(std::to_string(other.line_number)).append("), ");
    text_.own(message_, line);
    if (!same_place && !other.place.empty()) {
        text_.own(message_, "a ");
        text_.foreign(message_, other.place);
        text_.own(message_, ", ");
    }
    std::string interval;
    append_interval(interval, other.start, settings_.duration_minutes);
    interval.push_back('\n');
    text_.own(message_, interval);
    warn_(message_);
}

}  // namespace gironario
