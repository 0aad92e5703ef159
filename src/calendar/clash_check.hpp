#pragma once

// Matches of the merged calendar that clash: two in the same place at overlapping hours (the gym
// is booked twice), and, when asked, two of different calendars that overlap anywhere (nobody can
// be at both). A match lasts a fixed time from its start; its place is compared without regard to
// ASCII case, and a match with no place is never compared by its place. Two matches with the same
// start, place and title are the same match, listed in two calendars, and never clash.
//
// Every dated match is kept until a match starts at or after its end, so that a match the merge
// hands over late (its calendar is out of order) is still compared both ways: memory grows with
// the matches being played at one time, never with the length of the calendars.

#include <cstddef>
#include <deque>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/match_record.hpp"
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
// Valid until the check takes another match.
struct BookedWith {
    std::size_t calendar;
    long long line_number;
    long long start;  // minute_number() of its start
    std::string_view number;
    std::string_view place;
    std::string_view title;
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
    struct Kept {
        long long start = 0;
        std::size_t calendar = 0;
        long long line_number = 0;
        std::string number;
        std::string place;
        std::string title;
    };
    // The kept matches of each place, by the place in small letters.
    using Places = std::unordered_map<std::string, std::vector<std::size_t>>;

    static bool same_match(const Kept& one, const Kept& two);
    void forget_ended(long long before);
    void keep(const MatchRecord& match, Places::iterator place);
    void tell(const MatchRecord& match, const Kept& other, bool same_place);

    ClashSettings settings_;
    Warn warn_;
    std::span<const std::string> names_;
    MessageText text_;
    long long last_start_;  // no match starting then or later is compared
    // The kept matches, in slots that are used again once their match has ended, so that a run
    // allocates no memory for them once it has as many as are played at one time.
    std::vector<Kept> slots_;
    // The place of each slot's match, null for none: a place stays where it is in the map while
    // it has matches.
    std::vector<Places::value_type*> slot_places_;
    std::vector<std::size_t> free_slots_;
    // The slots of the matches being played, in the order of their starts (those of one minute
    // in the order taken): as every match lasts the same time, they end in that order.
    std::deque<std::size_t> playing_;
    // The same, by their places. A place stays in the map while none of its matches is played,
    // for the next one: see keep().
    Places by_place_;
    std::string key_;                    // the place key of the match being taken
    std::vector<std::size_t> clashing_;  // of the match being taken, those it clashes with
    long long told_ = 0;
    BookedWith booked_{};
    std::string message_;  // the warning being put together, reused
};

}  // namespace gironario
