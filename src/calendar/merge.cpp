#include "calendar/merge.hpp"

#include "calendar/remainder.hpp"

namespace gironario {

namespace {

// Moves past the lines that are not matches; the calendar may end doing so.
void skip_to_match(Calendar& calendar) {
    while (!calendar.ended && !is_match_line(calendar.lines.head())) {
        calendar.advance();
    }
}

struct Comparison {
    int key;             // the first key that differs, or KEYS when all are equal
    bool first_earlier;  // whether calendar 1's match is the earlier one
};

Comparison compare(const Calendar& first, const Calendar& second) {
    const int first_year = year_offset(first.year_digits);
    const int second_year = year_offset(second.year_digits);
    for (int key = 0; key < KEYS; ++key) {
        const int a = key_value(first.lines.head(), key_position(key, first.width, first_year));
        const int b = key_value(second.lines.head(), key_position(key, second.width, second_year));
        if (a != b) {
            return {key, a < b};
        }
    }
    return {KEYS, true};
}

void write_and_advance(Calendar& calendar, LineWriter& out) {
    write_match_line(calendar, out);
    calendar.advance();
}

}  // namespace

long long merge(Calendar& first, Calendar& second, LineWriter& out) {
    long long written = 0;
    first.advance();
    second.advance();
    for (;;) {
        skip_to_match(first);
        skip_to_match(second);
        if (first.ended || second.ended || out.failed()) {
            break;
        }
        first.width = detect_width(first.lines.head(), first.width);
        second.width = detect_width(second.lines.head(), second.width);
        const Comparison order = compare(first, second);
        if (order.key == KEYS) {
            write_and_advance(first, out);
            write_and_advance(second, out);
            out.put('\n');
            written += 2;
            continue;
        }
        write_and_advance(order.first_earlier ? first : second, out);
        if (order.key < FIRST_TIME_KEY) {
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
