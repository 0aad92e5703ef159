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

    // Checks the held match, whose record is made, just before the merge hands it on. Inline for
    // the matches in place and in order, nearly all of them.
    void check(const MatchRecord& match) {
        ++matches_;
        dated_ += match.dating == Dating::dated ? 1 : 0;
        if (match.in_place && !earlier(match.keys, previous_)) {
            previous_ = match.keys;
            return;
        }
        check_further(match);
    }

    // Tells another problem of line `line_number`, its reason in the console's encoding (see
    // text()): a line with several problems counts once toward the lines shown, as long as its
    // problems come one after the other.
    void problem(long long line_number, std::string_view reason);

    // With `omitted_from`, a line whose date or time cannot be read is told by the format, once
    // it knows whether the file keeps the match as it was (`kept`) or loses it.
    void unreadable(const MatchRecord& match, bool kept);

    // Tells how many more lines had problems than were shown, if any; once the merge is over.
    void finish();

    // Whether the calendar had matches and none of them could be dated.
    bool nothing_dated() const { return matches_ > 0 && dated_ == 0; }

  private:
    static bool earlier(const MatchKeys& one, const MatchKeys& two) {
        return one.date != two.date ? one.date < two.date : one.time < two.time;
    }

    // check() for a line out of place or out of order.
    void check_further(const MatchRecord& match);

    std::string file_name_;
    Warn warn_;
    MessageText text_;
    // The reasons, in the console's encoding.
    std::string layout_reason_;  // a date or time that cannot be read
    std::string kept_layout_reason_;
    bool told_by_format_ = false;  // the layout reason waits for unreadable()
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

// Whether a line that is not a match line holds a date and, after it, a time: such a line is most
// likely a match written with something before its number (a space, a tab, a byte-order mark that
// was not the file's first), which the merge would drop without a word. A date is one or two
// digits, a separator (/ . or -), one or two digits, a separator and a year of four or two digits;
// a time is one or two digits, a colon or a full stop and two digits; no run of digits may go on
// past them on either side.
bool looks_like_match(std::string_view line);

// The checks of a run: of each line of every calendar, by the calendars' places in the order
// named, and of the clashes between the matches of all of them.
class CalendarChecks {
  public:
    // One check for each of `calendars`, named by their names, and one of their clashes;
    // LineCheck and ClashCheck tell the rest. The calendars must outlive the checks.
    CalendarChecks(std::span<const Calendar> calendars, const Warn& warn,
                   std::string_view omitted_from = {}, ClashSettings clashes = {},
                   MessageText text = {});

    // The held match, about to be taken: the earlier match in the same place at the same time,
    // if any, until the next match is taken. A line longer than the reader's buffer is checked on
    // its head, where its date, time and place stand.
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

// A merge sink with the checks in front of it: every match is checked before `Sink` sees it, and
// a sink that wants the clash check's verdict gets it with the match.
template <typename Sink>
class Checked {
  public:
    Checked(CalendarChecks& checks, Sink& sink) : checks_(checks), sink_(sink) {}

    void match(Calendar& calendar) {
        const BookedWith* booked = checks_.taken(calendar.record);
        if constexpr (requires { sink_.match(calendar, booked); }) {
            sink_.match(calendar, booked);
        } else {
            sink_.match(calendar);
        }
    }
    void day_break() { sink_.day_break(); }
    void skipped(const Calendar& calendar) {
        checks_.skipped(calendar);
        sink_.skipped(calendar);
    }
    bool failed() const { return sink_.failed(); }

  private:
    CalendarChecks& checks_;
    Sink& sink_;
};

}  // namespace gironario
