#pragma once

// The steps that the merge and the remainder copy share. Inline templates: they run for every
// line of both calendars, and over a MergedText they leave no virtual call behind.

#include "calendar/calendar_line.hpp"
#include "calendar/line_check.hpp"

namespace gironario::merge_steps {

// Moves to the calendar's next match line, past the lines that are not matches, and works out
// its width and keys; the calendar may end doing so.
inline void next_match(Calendar& calendar) {
    do {
        calendar.advance();
    } while (!calendar.ended && !is_match_line(calendar.lines.head()));
    if (!calendar.ended) {
        const std::string_view line = calendar.lines.head();
        calendar.width = detect_width(line, calendar.width);
        calendar.keys =
            match_keys(line, calendar.width, year_offset(calendar.year_digits), calendar.in_place);
    }
}

// Hands the held match line to `out`, checked first when the calendar has a check, and moves to
// the next match line.
template <typename Sink>
void take(Calendar& calendar, Sink& out) {
    if (calendar.check != nullptr) {
        calendar.check->check(calendar);
    }
    out.match(calendar);
    next_match(calendar);
}

// The remainder copy: every match line from the held one on.
template <typename Sink>
long long take_rest(Calendar& calendar, Sink& out) {
    long long taken = 0;
    while (!calendar.ended && !out.failed()) {
        take(calendar, out);
        ++taken;
    }
    return taken;
}

}  // namespace gironario::merge_steps
