#pragma once

// Matches of the merged calendar that clash: two in the same place at overlapping hours (the gym
// is booked twice), and, when asked, two of different calendars that overlap anywhere (nobody can
// be at both). A match lasts a fixed time from its start; its place is the first word after its
// time, compared without regard to ASCII case. Two lines with the same start, place and title are
// the same match, listed in two calendars, and never clash.
//
// The lines come in merged order, so only the matches that have not ended by the start of the
// latest one are kept: memory grows with the matches being played at one time, never with the
// length of the calendars.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/match_fields.hpp"

namespace gironario {

// How many clashes are told in a run; later ones are only counted.
inline constexpr long long SHOWN_CLASHES = 10;

// What the check looks for.
struct ClashSettings {
    int duration_minutes = 120;  // how long a match lasts, 1 to 1440
    bool overlaps = false;       // also tell overlaps in different places, between calendars
};

// A match line the merge writes, handed to the check in merged order.
struct ClashLine {
    std::string_view line;           // the whole line without its line feed, as its calendar has it
    int width;                       // its width offset
    int year_digits;                 // its calendar's, 2 or 4
    std::size_t calendar;            // index of its calendar, in the order named
    std::string_view calendar_name;  // as the user typed it; must outlive the check
    long long line_number;           // in its calendar, from 1
    // Whether the merge found the line's date and time in place (has_shape()): it has looked at
    // every line already.
    bool in_place;
};

// The earlier match that a line finds in its place at the same time; the views last until the
// check takes another line.
struct BookedWith {
    std::size_t calendar;
    std::string_view calendar_name;
    long long line_number;
    std::string_view number;  // the match number as written
    std::string_view place;   // as that line writes it
};

// Tells the clashes of one run, each as one whole warning line
// "gironario: <calendar>:<line>: <reason>\n" in Latin-1 naming the later line of the two and the
// earlier one, as soon as the later line is taken.
class ClashCheck {
  public:
    using Warn = std::function<void(std::string_view)>;

    ClashCheck(ClashSettings settings, Warn warn);

    // Checks one line, the next in merged order, against the matches still being played. The
    // first of them in the same place, or nullptr; valid until the next call. Lines that are not
    // dated, or that would end after the year 9999, are neither checked nor kept. A line that
    // starts before the latest start seen (its calendar is out of order) is checked against what
    // is kept but not kept itself, so a clash with it may go untold.
    const BookedWith* take(const ClashLine& line);

    // Tells how many clashes were not listed, if any; once the merge is over.
    void finish();

  private:
    // The rest of a kept match: its line, copied, read again only when it clashes.
    struct Kept {
        std::unique_ptr<char[]> bytes;  // kept for the next line in the slot
        std::size_t size = 0;
        std::size_t capacity = 0;
        int width = 0;
        int year_digits = 2;
        std::string_view calendar_name;
        long long line_number = 0;
        std::size_t place_begin = 0;  // in the line
        std::size_t place_size = 0;

        std::string_view line() const { return {bytes.get(), size}; }
        std::string_view place() const { return line().substr(place_begin, place_size); }
        LocalTime start() const {
            return match_time(line(), width, year_digits).value_or(LocalTime{});
        }
    };

    // The slot of the kept match `index` places after the first. No division: it would cost
    // more than a comparison.
    std::size_t at(std::size_t index) const {
        const std::size_t place = first_ + index;
        return place < kept_.size() ? place : place - kept_.size();
    }
    // take() for a line that may clash with a kept match: apart, so that the path of nearly every
    // line stays short.
    [[gnu::noinline]] const BookedWith* compare(const ClashLine& line, long long start,
                                                std::string_view place, std::uint64_t key,
                                                bool in_order);
    // Makes room for one more kept match.
    [[gnu::noinline]] void grow();
    // Keeps a line taken in order, after the kept ones.
    void keep(const ClashLine& line, long long start, std::string_view place, std::uint64_t key);
    static bool same_match(const ClashLine& line, const Kept& other);
    // Tells, or counts past the first SHOWN_CLASHES, one clash of `line` with `other`.
    void tell(const ClashLine& line, std::string_view place, const Kept& other, bool same_place);

    ClashSettings settings_;
    Warn warn_;
    // A ring of the matches still being played, in merged order: as every match lasts the same
    // time, they end in the order they started. What each line is compared on stands apart,
    // so that comparing reads little.
    std::vector<long long> starts_;      // minute_number() of each start
    std::vector<std::uint64_t> places_;  // place_key() of each place
    std::vector<std::size_t> calendars_;
    std::vector<Kept> kept_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    long long last_start_;  // no match starting then or later is compared
    long long latest_start_;
    // The date of the latest dated line as written, and the minute_number() of its 00:00: most
    // lines share their day with the line before.
    std::uint64_t day_bytes_ = 0;   // the eight bytes from its day on
    std::uint16_t year_bytes_ = 0;  // the year's last two digits
    int day_year_digits_ = 0;       // none yet
    long long day_start_ = 0;
    long long told_ = 0;
    std::vector<std::pair<std::size_t, bool>> clashes_;  // of the line in hand: slot, same place
    BookedWith booked_;
    std::string text_;  // the warning being put together, reused
};

}  // namespace gironario
