#include "calendar/clash_check.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "io/text.hpp"

namespace gironario {

namespace {

// Eight bytes from `at`, of which only the first `size` (up to 8) count.
std::uint64_t word_at(const char* at, std::size_t size) {
    std::uint64_t word = 0;
    if (size == 8) {
        std::memcpy(&word, at, 8);  // one load, not a copy of a varying length
        return word;
    }
    for (std::size_t i = 0; i < size; ++i) {
        word |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
    }
    return word;
}

// A number that two places equal but for ASCII case share: their length and their first and
// last eight bytes with bit 5 set, which lowers every capital letter (and maps a few other
// bytes together, which the comparison after it tells apart).
std::uint64_t key_of_words(std::uint64_t head, std::uint64_t tail, std::size_t size) {
    constexpr std::uint64_t fives = 0x2020202020202020u;
    // Never 0, which stands for a place not yet found.
    return (((head | fives) * 0x9E3779B97F4A7C15u) ^ (tail | fives) ^ size) | 1;
}

std::uint64_t place_key(std::string_view place) {
    const std::size_t size = std::min<std::size_t>(place.size(), 8);
    const std::uint64_t head = word_at(place.data(), size);
    const std::uint64_t tail = word_at(place.data() + place.size() - size, size);
    return key_of_words(head, tail, place.size());
}

// place_key() of a place shorter than eight bytes, whose bytes (and more) are `word`.
std::uint64_t short_place_key(std::uint64_t word, std::size_t size) {
    const std::uint64_t head = word & ((std::uint64_t{1} << (8 * size)) - 1);
    return key_of_words(head, head, size);
}

// Whether `size` bytes at `one` and at `two` are the same: those of a place of up to sixteen bytes
// as two words, or two halves of one, that may overlap.
[[gnu::always_inline]] inline bool same_bytes(const char* one, const char* two, std::size_t size) {
    const auto same_at = [&]<typename Word>(Word, std::size_t at) {
        Word first;
        Word second;
        std::memcpy(&first, one + at, sizeof first);
        std::memcpy(&second, two + at, sizeof second);
        return first == second;
    };
    if (size >= 8 && size <= 16) {
        return same_at(std::uint64_t{}, 0) && same_at(std::uint64_t{}, size - 8);
    }
    if (size >= 4 && size < 8) {
        return same_at(std::uint32_t{}, 0) && same_at(std::uint32_t{}, size - 4);
    }
    return std::memcmp(one, two, size) == 0;
}

[[gnu::always_inline]] inline bool same_place(std::string_view one, std::string_view two) {
    // Nearly always written alike: compared byte for byte first.
    return !one.empty() && one.size() == two.size() &&
           (same_bytes(one.data(), two.data(), one.size()) || same_ignoring_case(one, two));
}

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

}  // namespace

ClashCheck::ClashCheck(ClashSettings settings, Warn warn, std::span<const std::string> names,
                       MessageText text)
    : settings_(settings),
      warn_(std::move(warn)),
      names_(names),
      text_(text),
      // A match ending after the year 9999 has no event in the iCalendar file: not compared.
      last_start_(minute_number(LocalTime{9999, 12, 31, 23, 59}) + 1 - settings.duration_minutes) {}

const BookedWith* ClashCheck::take(const MatchRecord& match) {
    // A match that is not dated, or ends too late, is dismissed here; a match played alone is
    // kept without its place being looked for. This runs for every match of the merge.
    if (match.dating != Dating::dated || match.start >= last_start_) {
        return nullptr;
    }
    // Every match lasts the same time, so the first kept ends first. Counted in locals, which
    // the loop need not store at every step.
    const long long ended_by = match.start - settings_.duration_minutes;
    const long long* const starts = starts_.data();
    const std::size_t slots = kept_.size();
    std::size_t first = first_;
    std::size_t count = count_;
    while (count > 0 && starts[first] <= ended_by) {
        first = first + 1 == slots ? 0 : first + 1;
        --count;
    }
    first_ = first;
    count_ = count;
    if (count_ == 0) {
        keep_alone(match);
        return nullptr;
    }
    return compare(match);
}

void ClashCheck::keep_alone(const MatchRecord& match) {
    keep(match, 0, {});
    unkeyed_ = true;
}

namespace {

// place_key() of a match's place. The place of a text line is found and read at once where eight
// bytes may be read from its start and it is shorter than that, as nearly every place is.
struct PlaceKey {
    std::uint64_t key;
    std::string_view place;
};

// place_key_of() of a place found by place_of(), as most are not.
[[gnu::noinline]] PlaceKey place_key_found(const MatchRecord& match) {
    const std::string_view place = place_of(match);
    return {place_key(place), place};
}

[[gnu::always_inline]] inline PlaceKey place_key_of(const MatchRecord& match) {
    if constexpr (std::endian::native == std::endian::little) {
        std::size_t from = match.place_from;
        const std::string_view line = match.line;
        if (!match.words && match.padded && from < line.size()) {
            while (from < line.size() && is_white(line[from])) {
                ++from;
            }
            // Its first sixteen bytes, up to the first that may be white or the line's end.
            const char* const at = line.data() + from;
            const std::size_t left = line.size() - from;
            std::uint64_t head;
            std::memcpy(&head, at, sizeof head);
            std::size_t end = first_byte_up_to_space(head);
            if (end == 8 && left > 8) {
                std::uint64_t second;
                std::memcpy(&second, at + 8, sizeof second);
                end += first_byte_up_to_space(second);
            }
            if (end >= left || (end < 16 && is_white(at[end]))) {
                const std::size_t size = std::min(end, left);
                if (size < 8) {
                    return {short_place_key(head, size), line.substr(from, size)};
                }
                std::uint64_t tail;
                std::memcpy(&tail, at + size - 8, sizeof tail);
                return {key_of_words(head, tail, size), line.substr(from, size)};
            }
        }
    }
    return place_key_found(match);
}

}  // namespace

void ClashCheck::key_kept(std::size_t index) {
    if (places_[index] == 0) {
        Kept& kept = *kept_[details_[index]];
        const PlaceKey found = place_key_of(kept.record);
        places_[index] = found.key;
        kept.place = found.place;
    }
}

const BookedWith* ClashCheck::compare(const MatchRecord& match) {
    const PlaceKey found = place_key_of(match);
    if (unkeyed_) {
        // The match kept alone, the only one without its place's key, needs it now.
        for (std::size_t i = 0; i < count_; ++i) {
            key_kept(at(i));
        }
        unkeyed_ = false;
    }
    // The kept matches from the first that may clash with it on: with overlaps, all of them;
    // else from the first in a place of the same key. Nearly always there is none, and the match
    // is kept at once.
    std::size_t from = 0;
    if (!settings_.overlaps) {
        const std::uint64_t* const keys = places_.data();
        const std::size_t first_run_end = std::min(first_ + count_, kept_.size());
        const std::uint64_t* in_first_run =
            std::find(keys + first_, keys + first_run_end, found.key);
        from = static_cast<std::size_t>(in_first_run - (keys + first_));
        if (in_first_run == keys + first_run_end) {
            const std::size_t second_run_end = count_ - (first_run_end - first_);
            from +=
                static_cast<std::size_t>(std::find(keys, keys + second_run_end, found.key) - keys);
        }
        if (from == count_) {
            keep(match, found.key, found.place);
            return nullptr;
        }
    }
    return compare_further(match, found.key, found.place, from);
}

const BookedWith* ClashCheck::compare_further(const MatchRecord& match, std::uint64_t key,
                                              std::string_view place, std::size_t from) {
    const long long end = match.start + settings_.duration_minutes;
    const BookedWith* booked = nullptr;
    // The match's words are found once, and only when a clash needs them.
    MatchWords words;
    bool words_found = false;
    const auto found_words = [&]() -> const MatchWords& {
        if (!words_found) {
            words = words_of(match);
            words_found = true;
        }
        return words;
    };
    // A second listing of a kept match: its clashes were told with the first.
    bool copy = false;
    clashes_.clear();
    long long clashes = 0;
    const bool overlaps = settings_.overlaps;
    // Inline in both loops: it runs for every clash.
    const auto compare_with = [&](std::size_t index) __attribute__((always_inline)) {
        const bool same_key = places_[index] == key;
        const bool other_calendar = overlaps && calendars_[index] != match.calendar;
        if (!other_calendar && !same_key) {
            return;
        }
        if (starts_[index] >= end || match.start >= starts_[index] + settings_.duration_minutes) {
            return;  // only a match out of order meets these
        }
        const Kept& other = *kept_[details_[index]];
        const bool same = same_key && same_place(other.place, place);
        if (same && starts_[index] == match.start &&
            same_match(found_words(), words_of(other.record))) {
            copy = true;
            return;
        }
        if (same && booked == nullptr) {
            // Keeping the match in hand reuses only a copy no longer kept: this one stays until
            // the next match is taken.
            booked_ = {other.calendar, names_[other.calendar], other.line_number, other.start,
                       &other.record};
            booked = &booked_;
        }
        if (same || other_calendar) {
            // Only those still to be told are listed; the rest are counted.
            if (told_ + clashes < SHOWN_CLASHES) {
                clashes_.emplace_back(index, same);
            }
            ++clashes;
        }
    };
    // The ring in its two runs of slots, in the order of the starts, from the kept match `from`
    // on. Most kept matches are passed over in these loops, on their place key alone.
    const std::size_t first_run_end = std::min(first_ + count_, kept_.size());
    const std::size_t first_run = first_run_end - first_;
    const std::size_t second_run_end = count_ - first_run;
    for (const auto& [begin, end_slot] :
         {std::pair{first_ + std::min(from, first_run), first_run_end},
          std::pair{from > first_run ? from - first_run : 0, second_run_end}}) {
        if (overlaps) {
            for (std::size_t index = begin; index < end_slot; ++index) {
                compare_with(index);
            }
            continue;
        }
        const std::uint64_t* const keys = places_.data();
        for (std::size_t index = begin; index < end_slot; ++index) {
            if (keys[index] == key) {
                compare_with(index);
            }
        }
    }
    if (!copy) {
        for (const auto& [index, same] : clashes_) {
            tell(match, found_words(), *kept_[details_[index]], same);
        }
        // tell() counted those it told.
        told_ += clashes - static_cast<long long>(clashes_.size());
        keep(match, key, place);
    }
    return booked;
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

void ClashCheck::grow() {
    // Full: the ring is laid out from its first slot again, so that a new slot can follow.
    const auto first = static_cast<std::ptrdiff_t>(first_);
    const auto lay_out = [&](auto& slots) {
        std::rotate(slots.begin(), slots.begin() + first, slots.end());
        slots.emplace_back();
    };
    lay_out(starts_);
    lay_out(places_);
    lay_out(calendars_);
    lay_out(details_);
    details_.back() = kept_.size();
    kept_.push_back(std::make_unique<Kept>());
    first_ = 0;
}

char* ClashCheck::Kept::room_apart(std::size_t size) {
    if (capacity < size) {
        capacity = std::max<std::size_t>(size, 2 * capacity);
        large = std::make_unique_for_overwrite<char[]>(capacity);
    }
    return large.get();
}

inline void ClashCheck::keep(const MatchRecord& match, std::uint64_t key, std::string_view place) {
    if (count_ == kept_.size()) {
        grow();
    }
    // After the kept matches that start at or before it: nearly always the last slot. The slot
    // past the last holds a copy no longer kept, which moves to where the match goes.
    std::size_t slot = count_;
    const std::size_t free_details = details_[at(count_)];
    while (slot > 0 && starts_[at(slot - 1)] > match.start) {
        const std::size_t to = at(slot);
        const std::size_t from = at(slot - 1);
        starts_[to] = starts_[from];
        places_[to] = places_[from];
        calendars_[to] = calendars_[from];
        details_[to] = details_[from];
        --slot;
    }
    ++count_;
    const std::size_t index = at(slot);
    starts_[index] = match.start;
    places_[index] = key;
    calendars_[index] = match.calendar;
    details_[index] = free_details;
    Kept& kept = *kept_[free_details];
    kept.calendar = match.calendar;
    kept.line_number = match.line_number;
    kept.start = match.start;
    MatchRecord& copy = kept.record;
    const std::string_view line = match.line;
    if (!match.words) {
        // A text line, whose words are found in it when they are asked for.
        char* bytes = kept.room(line.size());
        if (match.padded && line.size() <= LineReader::READ_AHEAD) {
            // One move of a fixed length; eight more bytes may then be read past the line.
            std::memcpy(bytes, line.data(), LineReader::READ_AHEAD);
        } else {
            std::memcpy(bytes, line.data(), line.size());
        }
        copy.line = {bytes, line.size()};
        copy.words = false;
        copy.place_from = match.place_from;
        copy.padded = bytes == kept.small.data();
        // Its place is known with its key, or found when another match first needs it.
        kept.place = place.empty()
                         ? std::string_view{}
                         : copy.line.substr(static_cast<std::size_t>(place.data() - line.data()),
                                            place.size());
        return;
    }
    const std::size_t size = match.number.size() + match.place.size() + match.title.size();
    char* bytes = kept.room(size);
    match.number.copy(bytes, match.number.size());
    match.place.copy(bytes + match.number.size(), match.place.size());
    match.title.copy(bytes + match.number.size() + match.place.size(), match.title.size());
    copy.line = {bytes, size};
    copy.words = true;
    copy.number = copy.line.substr(0, match.number.size());
    copy.place = copy.line.substr(match.number.size(), match.place.size());
    copy.title = copy.line.substr(match.number.size() + match.place.size());
    kept.place = copy.place;
}

bool ClashCheck::same_match(const MatchWords& match, const MatchWords& other) {
    if (!match.title.empty() && match.title == other.title) {
        return true;
    }
    // The titles may still be equal as the iCalendar export writes them (a tab for a space,
    // control characters left out, the place for an empty title, the other encoding).
    return match_title(match, is_utf8(match.title)) == match_title(other, is_utf8(other.title));
}

void ClashCheck::tell(const MatchRecord& match, const MatchWords& words, const Kept& other,
                      bool same_place) {
    const MatchWords other_words = words_of(other.record);
    if (told_++ >= SHOWN_CLASHES) {
        return;
    }
    message_.clear();
    text_.about_line(message_, names_[match.calendar], match.line_number);
    if (same_place) {
        text_.foreign(message_, words.place);
        text_.own(message_, " \xE8 occupato anche dalla gara ");
    } else {
        text_.own(message_, "si sovrappone alla gara ");
    }
    text_.foreign(message_, other_words.number);
    text_.own(message_, " di ");
    text_.foreign(message_, names_[other.calendar]);
    std::string line(" (riga ");
    line.append(std::to_string(other.line_number)).append("), ");
    text_.own(message_, line);
    if (!same_place && !other_words.place.empty()) {
        text_.own(message_, "a ");
        text_.foreign(message_, other_words.place);
        text_.own(message_, ", ");
    }
    std::string interval;
    append_interval(interval, other.start, settings_.duration_minutes);
    interval.push_back('\n');
    text_.own(message_, interval);
    warn_(message_);
}

}  // namespace gironario
