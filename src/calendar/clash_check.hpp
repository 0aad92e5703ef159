#pragma once

// Matches of the merged calendar that clash: two in the same place at overlapping hours (the gym
// is booked twice), and, when asked, two of different calendars that overlap anywhere (nobody can
// be at both). A match lasts a fixed time from its start; its place is compared without regard to
// ASCII case. Two matches with the same start, place and title are the same match, listed in two
// calendars, and never clash.
//
// Every dated match is kept until a match starts at or after its end, so that a match the merge
// hands over late (its calendar is out of order) is still compared both ways: memory grows with
// the matches being played at one time, never with the length of the calendars.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/match_record.hpp"
#include "io/line_reader.hpp"
#include "io/message.hpp"

namespace gironario {

// How many clashes are told in a run; later ones are only counted.
inline constexpr long long SHOWN_CLASHES = 10;

// What the check looks for.
struct ClashSettings {
    int duration_minutes = 120;  // how long a match lasts, 1 to 1440
    bool overlaps = false;       // also tell overlaps in different places, between calendars
};

// The check's verdict on a match: the earlier match that it finds in its place at the same time.
// The views last until the check takes another match.
struct BookedWith {
    std::size_t calendar;
    std::string_view calendar_name;
    long long line_number;
    long long start;           // minute_number() of its start
    const MatchRecord* match;  // its copy, whose words words_of() finds when they are wanted
};

// Tells the clashes of one run, each as one whole warning line
// "gironario: <calendar>:<line>: <reason>\n" naming the later match of the two and the earlier
// one, as soon as the later match is taken.
class ClashCheck {
  public:
    // `names` are the calendars' names in the order named; they must outlive the check.
    ClashCheck(ClashSettings settings, Warn warn, std::span<const std::string> names,
               MessageText text = {});

    // Checks one match, the next in merged order, against the matches still being played, and
    // keeps it. The first of them in the same place, or nullptr; valid until the next call.
    // Matches that are not dated, or that would end after the year 9999, are neither checked nor
    // kept.
    const BookedWith* take(const MatchRecord& match);

    // Tells how many clashes were not listed, if any; once the merge is over.
    void finish();

  private:
    // A kept match, copied, read again only when another match is played at its time: its line
    // when its words are found in it (a text line's), else its three words one after the other.
    struct Kept {
        // The bytes of a short line, and eight more that may be read past its end.
        std::array<char, LineReader::READ_AHEAD + 8> small;
        std::unique_ptr<char[]> large;  // or of a longer one
        std::size_t capacity = 0;
        MatchRecord record;      // its line and words point into the bytes above
        std::string_view place;  // found with its place key
        std::size_t calendar = 0;
        long long line_number = 0;
        long long start = 0;

        // Makes room for `size` bytes.
        char* room(std::size_t size) {
            return size <= LineReader::READ_AHEAD ? small.data() : room_apart(size);
        }
        char* room_apart(std::size_t size);
    };

    // The slot of the kept match `index` places after the first, in the order of their starts.
    // No division: it would cost more than a comparison.
    std::size_t at(std::size_t index) const {
        const std::size_t place = first_ + index;
        return place < kept_.size() ? place : place - kept_.size();
    }
    // Keeps a match played alone, without its place's key.
    [[gnu::noinline]] void keep_alone(const MatchRecord& match);
    // take() for a match that may clash with a kept one: apart, so that the path of a match
    // played alone stays short.
    [[gnu::noinline]] const BookedWith* compare(const MatchRecord& match);
    // compare() for a match that the kept ones from the `from`th on may clash with: `key` and
    // `place` are its place's.
    [[gnu::noinline]] const BookedWith* compare_further(const MatchRecord& match, std::uint64_t key,
                                                        std::string_view place, std::size_t from);
    // Finds the place key of kept match `index`, unless it is found already.
    void key_kept(std::size_t index);
    // Makes room for one more kept match.
    [[gnu::noinline]] void grow();
    // Keeps a match among the kept ones, in the order of their starts.
    // `key` and `place` are its place's, when known (else 0 and empty).
    [[gnu::always_inline]] void keep(const MatchRecord& match, std::uint64_t key,
                                     std::string_view place);
    static bool same_match(const MatchWords& match, const MatchWords& other);
    // Tells, or counts past the first SHOWN_CLASHES, one clash of `match` with `other`.
    void tell(const MatchRecord& match, const MatchWords& words, const Kept& other,
              bool same_place);

    ClashSettings settings_;
    Warn warn_;
    std::span<const std::string> names_;
    MessageText text_;
    // A ring of the matches still being played, in the order of their starts: as every match
    // lasts the same time, they end in that order. What each match is compared on stands apart,
    // so that comparing reads little.
    std::vector<long long> starts_;
    std::vector<std::uint64_t> places_;  // place_key() of each place, 0 until it is found
    std::vector<std::size_t> calendars_;
    std::vector<std::size_t> details_;  // where in kept_ each one's words are
    // Each on its own, so that the copies stay where their records point as more are made.
    std::vector<std::unique_ptr<Kept>> kept_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    long long last_start_;  // no match starting then or later is compared
    long long told_ = 0;
    bool unkeyed_ = false;  // a match kept alone, its place's key not yet found, may be kept
    std::vector<std::pair<std::size_t, bool>> clashes_;  // of the match in hand: slot, same place
    BookedWith booked_{};
    std::string message_;  // the warning being put together, reused
};

}  // namespace gironario
