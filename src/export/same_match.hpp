#pragma once

// The same match listed by two calendars of one run, shown once where a match is an entry of its
// own (the phone's calendar, the page): a derby in both teams' calendars, a match in the
// federation's file and in the team's feed, an export named twice. Two records are the same match
// when they have the same identity (match_identity.hpp) in two calendars, or the same start,
// place and title in two calendars, the place and the title folded (folded_text.hpp) as people
// type them. The first of them in the merge's order stands for the others and carries their
// tags; a warning tells each of the others. The text formats copy every line and take none of
// this.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/clash_check.hpp"
#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/match_tags.hpp"

namespace gironario {

// A format's sink that SameMatches hands each match once.
class OnceSink : public MergeSink {
  public:
    // A match that the record of an earlier calendar stands for: shown no more, but counted where
    // the format counts its calendar's matches. In the merge's order, as the matches.
    virtual void repeated(const MatchRecord& /*match*/) {}

    // The records of other calendars that the match being taken stands for too; empty for most,
    // and outside match().
    std::span<const MatchRecord* const> also() const { return also_; }
    void set_also(std::span<const MatchRecord* const> also) { also_ = also; }

  private:
    std::span<const MatchRecord* const> also_;
};

// The tags of `match` and of the records in `also`, each name once in the order met, put in
// `out`; valid as long as `out` and `tags`.
std::span<const MatchTag> tags_with(MatchTags& tags, const MatchRecord& match,
                                    std::span<const MatchRecord* const> also,
                                    std::vector<MatchTag>& out);

// Sits between the checks and a format's sink, and hands it each match once. The records of one
// start are held until the merge moves past it, as the same match of two calendars comes there;
// memory grows with the matches of one minute, and with the identities of tables and feeds.
class SameMatches final : public MergeSink {
  public:
    // Into `sink`, of `calendars` in the order named; the others are told through `checks`, as
    // one match in `result_name`. They must outlive it.
    SameMatches(OnceSink& sink, CalendarChecks& checks, std::span<const Calendar> calendars,
                std::string_view result_name);

    void match(const MatchRecord& match, const BookedWith* booked) override;
    void day_break() override;
    void skipped(const Calendar& calendar) override;
    bool failed() const override { return sink_.failed(); }

    // Hands on the matches still held; once the merge is over.
    void finish();

    // How many records another one stood for: the merge's count less these is the format's.
    long long repeats() const { return repeats_; }

  private:
    struct Held {
        MatchRecord match;
        bool repeat = false;
        bool booked = false;
        BookedWith booked_with{};
        std::string booked_number, booked_place, booked_title;  // what booked_with shows
        std::string key;                                        // folded place and title
        std::vector<std::size_t> also;                          // the held records it stands for
    };
    // Where an identity was first met.
    struct First {
        std::size_t calendar = 0;
        long long line_number = 0;
        long long start = 0;
    };

    // Whether held record `index` is a repeat by its identity, or, next, by its start, place and
    // title; either marks it and tells it.
    bool identity_repeats(std::size_t index);
    void content_repeats(std::size_t index);
    void tell(const MatchRecord& match, std::size_t calendar, long long line_number);
    void flush();

    OnceSink& sink_;
    CalendarChecks& checks_;
    std::vector<std::string> names_;        // of each calendar, as the warnings name it
    std::vector<std::string> plain_names_;  // its file name without a copy mark
    std::string result_;                    // where the match is shown once, as the warnings say
    std::vector<Held> held_;                // slots, the first held_count_ of them in use
    std::size_t held_count_ = 0;
    long long held_start_ = 0;
    std::unordered_map<std::string, First> identities_;
    // By calendar: how many of its records had each identity, so that a calendar that lists one
    // twice keeps both.
    std::vector<std::unordered_map<std::string, std::uint32_t>> counts_;
    std::string identity_;         // of the record in hand, kept for its capacity
    bool fresh_identity_ = false;  // whether the record in hand was the first with it
    std::vector<const MatchRecord*> also_;
    std::string message_;
    long long repeats_ = 0;
};

}  // namespace gironario
