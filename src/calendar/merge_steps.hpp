#pragma once

// The merge of any number of calendars and the steps it is made of. Inline templates: they run for
// every line of every calendar, and over the program's own sinks they leave no virtual call behind.

#include <span>
#include <utility>
#include <vector>

#include "calendar/calendar.hpp"

namespace gironario::merge_steps {

// Moves to the calendar's next match line, whose record is then made, telling `out` of the lines
// passed over; the calendar may end doing so.
template <typename Sink>
void next_match(Calendar& calendar, Sink& out) {
    while (!calendar.next()) {
        if (calendar.ended) {
            return;
        }
        out.skipped(calendar);
    }
}

// Hands the held match line to `out` and moves to the next match line.
template <typename Sink>
void take(Calendar& calendar, Sink& out) {
    out.match(calendar);
    next_match(calendar, out);
}

// The remainder copy: every match line from the held one on, with no day breaks.
template <typename Sink>
long long take_rest(Calendar& calendar, Sink& out) {
    long long taken = 0;
    while (!calendar.ended && !out.failed()) {
        take(calendar, out);
        ++taken;
    }
    return taken;
}

inline bool same_keys(const MatchKeys& one, const MatchKeys& two) {
    return one.date == two.date && one.time == two.time;
}

// Whether `one`'s held line goes before `two`'s: by its keys, and at equal keys by the order in
// which the calendars are named.
inline bool goes_before(const Calendar& one, const Calendar& two) {
    if (one.record.keys.date != two.record.keys.date) {
        return one.record.keys.date < two.record.keys.date;
    }
    if (one.record.keys.time != two.record.keys.time) {
        return one.record.keys.time < two.record.keys.time;
    }
    return one.index < two.index;
}

// The calendars that have not ended, as a binary heap whose top holds the line that goes first:
// a step costs the logarithm of their number, not a look at every calendar.
class Heap {
  public:
    explicit Heap(std::size_t capacity) { calendars_.reserve(capacity); }

    std::size_t size() const { return calendars_.size(); }
    Calendar& top() const { return *calendars_[0]; }

    // The calendar whose line goes second: one of the top's two children.
    Calendar& second() const {
        return calendars_.size() == 2 || goes_before(*calendars_[1], *calendars_[2])
                   ? *calendars_[1]
                   : *calendars_[2];
    }

    void push(Calendar& calendar) {
        std::size_t at = calendars_.size();
        calendars_.push_back(&calendar);
        while (at > 0 && goes_before(calendar, *calendars_[(at - 1) / 2])) {
            calendars_[at] = calendars_[(at - 1) / 2];
            at = (at - 1) / 2;
        }
        calendars_[at] = &calendar;
    }

    // Puts the top back in its place after its line changed, or drops it once it has ended.
    void top_changed() {
        if (top().ended) {
            pop();
        } else {
            sift_down();
        }
    }

    // Takes the top out, leaving the rest a heap.
    Calendar& pop() {
        Calendar& popped = top();
        calendars_[0] = calendars_.back();
        calendars_.pop_back();
        if (!calendars_.empty()) {
            sift_down();
        }
        return popped;
    }

  private:
    void sift_down() {
        Calendar* const moved = calendars_[0];
        std::size_t at = 0;
        for (;;) {
            std::size_t child = 2 * at + 1;
            if (child >= calendars_.size()) {
                break;
            }
            if (child + 1 < calendars_.size() &&
                goes_before(*calendars_[child + 1], *calendars_[child])) {
                ++child;
            }
            if (!goes_before(*calendars_[child], *moved)) {
                break;
            }
            calendars_[at] = calendars_[child];
            at = child;
        }
        calendars_[at] = moved;
    }

    std::vector<Calendar*> calendars_;
};

// The merge of two calendars that have not ended, by the same rules as merge_calendars() with no
// heap between them: the two-calendar merge, the commonest, costs no more than it ever did. Returns
// the lines written until one of them ends, a read fails or the output fails.
template <typename Sink>
long long merge_two(Calendar& first, Calendar& second, Sink& out) {
    long long written = 0;
    while (!first.ended && !second.ended && !out.failed()) {
        const bool by_date = first.record.keys.date != second.record.keys.date;
        if (!by_date && first.record.keys.time == second.record.keys.time) {
            take(first, out);
            take(second, out);
            out.day_break();
            written += 2;
            continue;
        }
        const bool first_earlier = by_date ? first.record.keys.date < second.record.keys.date
                                           : first.record.keys.time < second.record.keys.time;
        take(first_earlier ? first : second, out);
        if (by_date) {
            out.day_break();
        }
        ++written;
    }
    return written;
}

// The merge of merge.hpp, into any sink with match(), day_break(), skipped() and failed().
template <typename Sink>
long long merge_calendars(std::span<Calendar> calendars, Sink& out) {
    long long written = 0;
    Heap heap(calendars.size());
    bool read_failed = false;
    for (std::size_t i = 0; i < calendars.size(); ++i) {
        calendars[i].index = i;
        next_match(calendars[i], out);
        if (!calendars[i].ended) {
            heap.push(calendars[i]);
        }
        read_failed = read_failed || calendars[i].failed();
    }
    if (read_failed) {
        return 0;
    }
    if (calendars.size() == 2 && heap.size() == 2) {
        written = merge_two(calendars[0], calendars[1], out);
        if (calendars[0].failed() || calendars[1].failed() || out.failed() ||
            calendars[0].ended == calendars[1].ended) {
            return written;
        }
        return written + take_rest(calendars[0].ended ? calendars[1] : calendars[0], out);
    }
    std::vector<Calendar*> tied;
    tied.reserve(calendars.size());
    while (heap.size() >= 2 && !out.failed()) {
        Calendar& first = heap.top();
        const Calendar& second = heap.second();
        if (!same_keys(first.record.keys, second.record.keys)) {
            const bool by_date = first.record.keys.date != second.record.keys.date;
            take(first, out);
            if (by_date) {
                out.day_break();
            }
            ++written;
            if (first.ended && first.failed()) {
                return written;
            }
            heap.top_changed();
            continue;
        }
        // Every calendar holding a match at this minute; they come off the heap in the order named.
        const MatchKeys minute = first.record.keys;
        tied.clear();
        while (heap.size() > 0 && same_keys(heap.top().record.keys, minute)) {
            tied.push_back(&heap.pop());
        }
        for (Calendar* calendar : tied) {
            take(*calendar, out);
            ++written;
        }
        out.day_break();
        for (Calendar* calendar : tied) {
            if (!calendar->ended) {
                heap.push(*calendar);
            } else if (calendar->failed()) {
                return written;
            }
        }
    }
    if (heap.size() == 1 && !out.failed()) {
        for (const Calendar& calendar : calendars) {
            if (calendar.failed()) {
                return written;
            }
        }
        written += take_rest(heap.top(), out);
    }
    return written;
}

}  // namespace gironario::merge_steps
