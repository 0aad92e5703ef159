#pragma once

// Warnings about the match lines that the merge cannot place where they belong: a date or time
// that does not stand where the merge reads it, and a match earlier than the one before it in
// the same calendar. They change nothing in the merge; they tell the user which lines to mend.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/clash_check.hpp"

namespace gironario {

// How many lines of one calendar have their problems told in a run; later ones are only counted.
inline constexpr long long SHOWN_PROBLEM_LINES = 5;

// The warnings about one calendar in one run, each handed out as a whole line
// "gironario: <file>:<line number>: <reason>\n" in Latin-1, as soon as it is known.
class LineCheck {
  public:
    using Warn = std::function<void(std::string_view)>;

    // `year_digits` is the answer given for the calendar. With `omitted_from` (a file name), a
    // warning about a date or time out of place adds that the match is not in that file.
    LineCheck(std::string_view file_name, int year_digits, Warn warn,
              std::string_view omitted_from = {});

    // Checks the calendar's held match line, whose width and keys are worked out, just before the
    // merge hands it on. Inline for the lines in place and in order, nearly all of them.
    void check(const Calendar& calendar) {
        if (calendar.in_place && !earlier(calendar.keys, previous_)) {
            previous_ = calendar.keys;
            return;
        }
        check_further(calendar);
    }

    // Tells another problem of line `line_number`: a line with several problems counts once
    // toward the lines shown, as long as its problems come one after the other.
    void problem(long long line_number, std::string_view reason);

    // Tells how many more lines had problems than were shown, if any; once the merge is over.
    void finish();

  private:
    static bool earlier(const MatchKeys& one, const MatchKeys& two) {
        return one.date != two.date ? one.date < two.date : one.time < two.time;
    }

    // check() for a line out of place or out of order.
    void check_further(const Calendar& calendar);

    std::string file_name_;
    int year_digits_;
    Warn warn_;
    std::string layout_reason_;  // a date or time out of place
    std::string year_reason_;    // ... that would be in place with the other year digits
    // Of the latest line in place: lowest of all before the first, as no line's keys are.
    MatchKeys previous_{};
    long long last_problem_line_ = -1;
    bool last_problem_shown_ = false;
    long long shown_lines_ = 0;
    long long held_back_lines_ = 0;
    std::string text_;  // the warning being put together, reused
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
    // LineCheck and ClashCheck tell the rest.
    CalendarChecks(std::span<const Calendar> calendars, const LineCheck::Warn& warn,
                   std::string_view omitted_from = {}, ClashSettings clashes = {});

    // The calendar's held match line, about to be taken. A line longer than the reader's buffer
    // is checked on its head, where its date, time and place stand.
    void taken(const Calendar& calendar) {
        checks_[calendar.index].check(calendar);
        booked_ =
            clashes_.take({calendar.lines.head(), calendar.width, calendar.year_digits,
                           calendar.index, calendar.name, calendar.line_number, calendar.in_place});
    }

    // The earlier match in the same place at the same time as the line just taken, if any.
    const BookedWith* booked_with() const { return booked_; }

    // The calendar's held line, which is passed over as it is not a match line.
    void skipped(const Calendar& calendar);

    // Another problem of the calendar's held line.
    void problem(const Calendar& calendar, std::string_view reason) {
        checks_[calendar.index].problem(calendar.line_number, reason);
    }

    // Tells each calendar's count of lines not shown, in the order named.
    void finish();

  private:
    std::vector<LineCheck> checks_;
    ClashCheck clashes_;
    const BookedWith* booked_ = nullptr;
};

// A merge sink with the checks in front of it: every line is checked before `Sink` sees it.
template <typename Sink>
class Checked {
  public:
    Checked(CalendarChecks& checks, Sink& sink) : checks_(checks), sink_(sink) {}

    void match(Calendar& calendar) {
        checks_.taken(calendar);
        sink_.match(calendar);
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
