#include "calendar/clash_check.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <optional>
#include <utility>

#include "calendar/calendar_line.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// is_white() in one test: this runs for every byte of every place.
bool white(char c) {
    constexpr std::uint64_t whites =
        1ull << ' ' | 1ull << '\t' | 1ull << '\r' | 1ull << '\v' | 1ull << '\f';
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' && (whites >> byte & 1) != 0;
}

// The place of a line: the first run of non-white characters from `from` on, as
// read_match_fields() finds it.
std::string_view place_of(std::string_view line, std::size_t from) {
    while (from < line.size() && white(line[from])) {
        ++from;
    }
    std::size_t end = from;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time up to the first that may be white, a byte up to a space.
        constexpr std::uint64_t ones = 0x0101010101010101u;
        constexpr std::uint64_t highs = 0x8080808080808080u;
        while (line.size() - end >= 8) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + end, sizeof word);
            const std::uint64_t low = (word - ones * 0x21) & ~word & highs;
            if (low != 0) {
                end += static_cast<std::size_t>(std::countr_zero(low) / 8);
                break;
            }
            end += 8;
        }
    }
    while (end < line.size() && !white(line[end])) {
        ++end;
    }
    return line.substr(from, end - from);
}

// Eight bytes from `at`, of which only the first `size` (up to 8) count; `line_end` is where
// the bytes that may be read end.
std::uint64_t word_at(const char* at, std::size_t size, const char* line_end) {
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        if (line_end - at >= 8) {
            std::memcpy(&word, at, 8);  // one load, not a copy of a varying length
            return size >= 8 ? word : word & ((std::uint64_t{1} << (8 * size)) - 1);
        }
    }
    std::memcpy(&word, at, size);
    return word;
}

// A number that two places equal but for ASCII case share: their length and their first and
// last eight bytes with bit 5 set, which lowers every capital letter (and maps a few other
// bytes together, which the comparison after it tells apart).
std::uint64_t place_key(std::string_view place, const char* line_end) {
    const std::size_t size = std::min<std::size_t>(place.size(), 8);
    const std::uint64_t head = word_at(place.data(), size, line_end);
    const std::uint64_t tail = word_at(place.data() + place.size() - size, size, line_end);
    constexpr std::uint64_t fives = 0x2020202020202020u;
    return ((head | fives) * 0x9E3779B97F4A7C15u) ^ (tail | fives) ^ place.size();
}

bool same_place(std::string_view one, std::string_view two) {
    return !one.empty() && one.size() == two.size() &&
           std::equal(one.begin(), one.end(), two.begin(),
                      [](char a, char b) { return ascii_lower(a) == ascii_lower(b); });
}

void append_two_digits(std::string& text, int value) {
    text.push_back(static_cast<char>('0' + value / 10 % 10));
    text.push_back(static_cast<char>('0' + value % 10));
}

void append_date(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.day);
    text.push_back('/');
    append_two_digits(text, time.month);
    text.push_back('/');
    append_two_digits(text, time.year / 100);
    append_two_digits(text, time.year);
}

void append_clock(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.hour);
    text.push_back(':');
    append_two_digits(text, time.minute);
}

// "04/10/2026 16:30-18:30", with the end's date too when the match ends on another day.
void append_interval(std::string& text, const LocalTime& start, int minutes) {
    append_date(text, start);
    text.push_back(' ');
    append_clock(text, start);
    text.push_back('-');
    // Kept matches end by the year 9999.
    const LocalTime end = add_minutes(start, minutes).value_or(start);
    if (end.year != start.year || end.month != start.month || end.day != start.day) {
        append_date(text, end);
        text.push_back(' ');
    }
    append_clock(text, end);
}

}  // namespace

ClashCheck::ClashCheck(ClashSettings settings, Warn warn)
    : settings_(settings),
      warn_(std::move(warn)),
      // A match ending after the year 9999 has no event in the iCalendar file: not compared.
      last_start_(minute_number(LocalTime{9999, 12, 31, 23, 59}) + 1 - settings.duration_minutes),
      latest_start_(LLONG_MIN) {}

const BookedWith* ClashCheck::take(const ClashLine& line) {
    // Nearly every line is dismissed here, on its start and its place alone: this runs for every
    // line of the merge.
    const std::string_view text = line.line;
    const int offset = year_offset(line.year_digits);
    // The merge has read the shape already; the two words of has_shape() are kept for what they
    // tell: "dd/mm/yy" (the century in place of "yy" for a four-digit year) and "yy hh:mm".
    if (!line.in_place) {
        return nullptr;
    }
    const char* const year = text.data() + key_position(0, line.width, offset);
    std::uint64_t day_bytes;
    std::memcpy(&day_bytes, text.data() + key_position(4, line.width, offset), sizeof day_bytes);
    std::uint16_t year_bytes;
    std::memcpy(&year_bytes, year, sizeof year_bytes);
    if (day_bytes != day_bytes_ || year_bytes != year_bytes_ ||
        line.year_digits != day_year_digits_) {
        const std::optional<LocalTime> time = match_time(text, line.width, line.year_digits);
        if (!time) {
            return nullptr;  // not kept as the day: it may be the time that does not exist
        }
        day_bytes_ = day_bytes;
        year_bytes_ = year_bytes;
        day_year_digits_ = line.year_digits;
        day_start_ = minute_number(LocalTime{time->year, time->month, time->day, 0, 0});
    }
    const int hour = (year[3] - '0') * 10 + (year[4] - '0');
    const int minute = (year[6] - '0') * 10 + (year[7] - '0');
    if (hour > 23 || minute > 59) {
        return nullptr;
    }
    const long long start = day_start_ + hour * 60LL + minute;
    if (start >= last_start_) {
        return nullptr;
    }
    const bool in_order = start >= latest_start_;
    if (in_order) {
        latest_start_ = start;
        // Every match lasts the same time, so the first kept ends first.
        while (count_ > 0 && starts_[first_] + settings_.duration_minutes <= start) {
            first_ = first_ + 1 == kept_.size() ? 0 : first_ + 1;
            --count_;
        }
    }
    const std::string_view place = place_of(text, static_cast<std::size_t>(year + 8 - text.data()));
    const std::uint64_t key = place_key(place, text.data() + text.size());
    // Whether any kept match may clash, without a branch for each: most lines meet none.
    unsigned maybe = 0;
    const auto overlaps = static_cast<unsigned>(settings_.overlaps);
    for (std::size_t i = 0; i < count_; ++i) {
        const std::size_t index = at(i);
        maybe |= static_cast<unsigned>(places_[index] == key) |
                 (overlaps & static_cast<unsigned>(calendars_[index] != line.calendar));
    }
    if (maybe == 0) {
        if (in_order) {
            keep(line, start, place, key);
        }
        return nullptr;
    }
    return compare(line, start, place, key, in_order);
}

const BookedWith* ClashCheck::compare(const ClashLine& line, long long start,
                                      std::string_view place, std::uint64_t key, bool in_order) {
    const long long end = start + settings_.duration_minutes;
    const BookedWith* booked = nullptr;
    // A second listing of a kept match: its clashes were told with the first.
    bool copy = false;
    clashes_.clear();
    for (std::size_t i = 0; i < count_; ++i) {
        const std::size_t index = at(i);
        const bool other_calendar = settings_.overlaps && calendars_[index] != line.calendar;
        if (places_[index] != key && !other_calendar) {
            continue;
        }
        if (starts_[index] >= end || start >= starts_[index] + settings_.duration_minutes) {
            continue;  // only a line out of order meets these
        }
        const Kept& other = kept_[index];
        const bool same = places_[index] == key && same_place(other.place(), place);
        if (same && starts_[index] == start && same_match(line, other)) {
            copy = true;
            continue;
        }
        if (same && booked == nullptr) {
            booked_ = {calendars_[index], other.calendar_name, other.line_number,
                       match_number(other.line()), other.place()};
            booked = &booked_;
        }
        if (same || other_calendar) {
            clashes_.emplace_back(index, same);
        }
    }
    if (!copy) {
        for (const auto& [index, same] : clashes_) {
            tell(line, place, kept_[index], same);
        }
        if (in_order) {
            keep(line, start, place, key);
        }
    }
    return booked;
}

void ClashCheck::finish() {
    if (told_ <= SHOWN_CLASHES) {
        return;
    }
    const long long more = told_ - SHOWN_CLASHES;
    if (more == 1) {
        text_.assign("gironario: un'altra sovrapposizione non \xE8 elencata\n");
    } else {
        text_.assign("gironario: altre ").append(std::to_string(more));
        text_.append(" sovrapposizioni non sono elencate\n");
    }
    told_ = SHOWN_CLASHES;
    warn_(text_);
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
    lay_out(kept_);
    first_ = 0;
}

void ClashCheck::keep(const ClashLine& line, long long start, std::string_view place,
                      std::uint64_t key) {
    if (count_ == kept_.size()) {
        grow();
    }
    const std::size_t index = at(count_);
    ++count_;
    starts_[index] = start;
    places_[index] = key;
    calendars_[index] = line.calendar;
    Kept& kept = kept_[index];
    if (kept.capacity < line.line.size()) {
        kept.capacity = std::max<std::size_t>(line.line.size(), 2 * kept.capacity);
        kept.bytes = std::make_unique_for_overwrite<char[]>(kept.capacity);
    }
    kept.size = line.line.size();
    std::memcpy(kept.bytes.get(), line.line.data(), kept.size);
    kept.width = line.width;
    kept.year_digits = line.year_digits;
    kept.calendar_name = line.calendar_name;
    kept.line_number = line.line_number;
    kept.place_begin = static_cast<std::size_t>(place.data() - line.line.data());
    kept.place_size = place.size();
}

bool ClashCheck::same_match(const ClashLine& line, const Kept& other) {
    MatchFields fields;
    MatchFields other_fields;
    read_match_fields(line.line, line.width, line.year_digits, fields);
    read_match_fields(other.line(), other.width, other.year_digits, other_fields);
    if (!fields.rest.empty() && fields.rest == other_fields.rest) {
        return true;
    }
    // The titles may still be equal as the iCalendar export writes them (a tab for a space,
    // control characters left out, the place for an empty rest, the other encoding).
    return match_title(fields, is_utf8(line.line)) ==
           match_title(other_fields, is_utf8(other.line()));
}

void ClashCheck::tell(const ClashLine& line, std::string_view place, const Kept& other,
                      bool same_place) {
    if (told_++ >= SHOWN_CLASHES) {
        return;
    }
    text_.assign("gironario: ").append(line.calendar_name).append(":");
    text_.append(std::to_string(line.line_number)).append(": ");
    if (same_place) {
        text_.append(place).append(" \xE8 occupato anche dalla gara ");
    } else {
        text_.append("si sovrappone alla gara ");
    }
    text_.append(match_number(other.line())).append(" di ").append(other.calendar_name);
    text_.append(" (riga ").append(std::to_string(other.line_number)).append("), ");
    if (!same_place && !other.place().empty()) {
        text_.append("a ").append(other.place()).append(", ");
    }
    append_interval(text_, other.start(), settings_.duration_minutes);
    text_.push_back('\n');
    warn_(text_);
}

}  // namespace gironario
