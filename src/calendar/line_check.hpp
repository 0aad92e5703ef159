#pragma once

// Warnings about the match lines that the merge cannot place where they belong: a date or time
// that does not stand where the merge reads it, and a match earlier than the one before it in
// the same calendar. They change nothing in the merge; they tell the user which lines to mend.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar.hpp"
#include "calendar/clash_check.hpp"
#include "calendar/merge.hpp"
#include "io/message.hpp"

namespace gironario {

// How many lines of one calendar have their problems told in a run; later ones are only counted.
inline constexpr long long SHOWN_PROBLEM_LINES = 5;

// The warnings about one calendar in one run, each handed out as a whole line
// "gironario: <file>:<line number>: <reason>\n", as soon as it is known.
class LineCheck {
  public:
    // `year_digits` is the answer given for the calendar. With `omitted_from` (a file name), a
    // warning about a date or time out of place adds that the match is not in that file.
    LineCheck(std::string_view file_name, int year_digits, Warn warn,
              std::string_view omitted_from = {}, MessageText text = {});

    // Checks a match just before the merge hands it on.
    void check(const MatchRecord& match);

    // Tells another problem of line `line_number`, its reason in the console's encoding (see
    // text()): a line with several problems counts once toward the lines shown, as long as its
    // problems come one after the other.
    void problem(long long line_number, std::string_view reason);

    // With `omitted_from`, a line whose date or time cannot be read is told by the format, once
    // it knows whether the file keeps the match as it was (`kept`) or loses it.
    void unreadable(const MatchRecord& match, bool kept);

    // For a format that puts a match whose day is known and whose time is not set yet on its day:
    // such a line is no problem, and it is a match of the calendar as a dated one is.
    void place_day_known() { day_known_placed_ = true; }

    // Tells how many more lines had problems than were shown, if any; once the merge is over.
    void finish();

    // Whether the calendar had matches and none of them could be dated.
    bool nothing_dated() const { return matches_ > 0 && dated_ == 0; }

  private:
    std::string file_name_;
    Warn warn_;
    MessageText text_;
    // The reasons, in the console's encoding.
    std::string layout_reason_;  // a date or time that cannot be read
    std::string kept_layout_reason_;
    bool told_by_format_ = false;  // the layout reason waits for unreadable()
    bool day_known_placed_ = false;
    std::string order_reason_;
    // Of the latest line in place: lowest of all before the first, as no line's keys are.
    MatchKeys previous_{};
    long long last_problem_line_ = -1;
    bool last_problem_shown_ = false;
    long long shown_lines_ = 0;
    long long matches_ = 0;
    long long dated_ = 0;
    long long held_back_lines_ = 0;
    std::string message_;  // the warning being put together, reused
};

// The checks of a run: of each line of every calendar, by the calendars' places in the order
// named, and of the clashes between the matches of all of them.
class CalendarChecks {
  public:
    // One check for each of `calendars`, named by their names, and one of their clashes;
    // LineCheck and ClashCheck tell the rest. The calendars must outlive the checks.
    CalendarChecks(std::span<const Calendar> calendars, const Warn& warn,
                   std::string_view omitted_from = {}, ClashSettings clashes = {},
                   MessageText text = {});

    // A match about to be taken: the earlier match in the same place at the same time, if any,
    // until the next match is taken.
    const BookedWith* taken(const MatchRecord& match) {
        checks_[match.calendar].check(match);
        return clashes_.take(match);
    }

    // The calendar's held line, which is passed over as it is not a match line.
    void skipped(const Calendar& calendar);

    // How a reason is put in the console's encoding.
    const MessageText& text() const { return text_; }

    // Another problem of a match, its reason in the console's encoding.
    void problem(const MatchRecord& match, std::string_view reason) {
        checks_[match.calendar].problem(match.line_number, reason);
    }
    // See LineCheck::unreadable().
    void unreadable(const MatchRecord& match, bool kept) {
        checks_[match.calendar].unreadable(match, kept);
    }

    // See LineCheck::place_day_known(), for every calendar.
    void place_day_known() {
        for (LineCheck& check : checks_) {
            check.place_day_known();
        }
    }

    // Tells each calendar's count of lines not shown, in the order named.
    void finish();

    // Whether calendar `index` had matches and none of them could be dated.
    bool nothing_dated(std::size_t index) const { return checks_[index].nothing_dated(); }

  private:
    std::vector<std::string> names_;
    std::vector<LineCheck> checks_;
    ClashCheck clashes_;
    MessageText text_;
    std::string look_alike_reason_;
};

// A merge sink with the checks in front of it: every match is checked before `sink` sees it, and
// the sink gets the clash check's verdict with the match.
class Checked final : public MergeSink {
  public:
    Checked(CalendarChecks& checks, MergeSink& sink) : checks_(checks), sink_(sink) {}

    void match(const MatchRecord& match, const BookedWith*) override {
        sink_.match(match, checks_.taken(match));
    }
    void day_break() override { sink_.day_break(); }
    void skipped(const Calendar& calendar) override {
        checks_.skipped(calendar);
        sink_.skipped(calendar);
    }
    bool failed() const override { return sink_.failed(); }

  private:
    CalendarChecks& checks_;
    MergeSink& sink_;
};

}  // namespace gironario
