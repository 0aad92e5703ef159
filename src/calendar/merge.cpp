#include "calendar/merge.hpp"

#include "calendar/remainder.hpp"

namespace gironario {

namespace {

// Moves to the calendar's next match line, past the lines that are not matches, and works out
// its width and keys; the calendar may end doing so.
void next_match(Calendar& calendar) {
    do {
        calendar.advance();
    } while (!calendar.ended && !is_match_line(calendar.lines.head()));
    if (!calendar.ended) {
        const std::string_view line = calendar.lines.head();
        calendar.width = detect_width(line, calendar.width);
        calendar.keys = match_keys(line, calendar.width, year_offset(calendar.year_digits));
    }
}

void write_and_advance(Calendar& calendar, LineWriter& out) {
    write_match_line(calendar, out);
    next_match(calendar);
}

}  // namespace

long long merge(Calendar& first, Calendar& second, LineWriter& out) {
    long long written = 0;
    next_match(first);
    next_match(second);
    while (!first.ended && !second.ended && !out.failed()) {
        const MatchKeys& one = first.keys;
        const MatchKeys& two = second.keys;
        const bool by_date = one.date != two.date;
        if (!by_date && one.time == two.time) {
            write_and_advance(first, out);
            write_and_advance(second, out);
            out.put('\n');
            written += 2;
            continue;
        }
        const bool first_earlier = by_date ? one.date < two.date : one.time < two.time;
        write_and_advance(first_earlier ? first : second, out);
        if (by_date) {
            out.put('\n');
        }
        ++written;
    }
    if (first.lines.failed() || second.lines.failed() || out.failed()) {
        return written;
    }
    if (first.ended != second.ended) {
        written += copy_rest(first.ended ? second : first, out);
    }
    return written;
}

}  // namespace gironario
