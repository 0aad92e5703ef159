#include "calendar/merge.hpp"

#include <algorithm>
#include <vector>

namespace gironario {

namespace {

// Moves to the calendar's next match, telling `out` of the lines passed over; the calendar may
// end doing so.
void next_match(Calendar& calendar, MergeSink& out) {
    for (;;) {
        switch (calendar.next()) {
            case CalendarStep::match:
            case CalendarStep::ended:
                return;
            case CalendarStep::skipped:
                out.skipped(calendar);
                break;
        }
    }
}

// Hands the held match to `out` and moves to the next one.
void take(Calendar& calendar, MergeSink& out) {
    out.match(calendar.record(), nullptr);
    next_match(calendar, out);
}

// Whether `one`'s held match goes before `two`'s: by its keys, and at equal keys by the order in
// which the calendars are named.
bool goes_before(const Calendar& one, const Calendar& two) {
    const MatchKeys& a = one.record().keys;
    const MatchKeys& b = two.record().keys;
    if (a.date != b.date) {
        return a.date < b.date;
    }
    if (a.time != b.time) {
        return a.time < b.time;
    }
    return one.index() < two.index();
}

// The calendars that have not ended, as a heap whose top holds the match that goes first: a step
// costs the logarithm of their number, not a look at every calendar.
class Heap {
  public:
    bool empty() const { return calendars_.empty(); }
    std::size_t size() const { return calendars_.size(); }
    Calendar& top() const { return *calendars_.front(); }

    void push(Calendar& calendar) {
        calendars_.push_back(&calendar);
        std::push_heap(calendars_.begin(), calendars_.end(), later);
    }

    Calendar& pop() {
        std::pop_heap(calendars_.begin(), calendars_.end(), later);
        Calendar& popped = *calendars_.back();
        calendars_.pop_back();
        return popped;
    }

  private:
    // The standard heap keeps its greatest element on top: here the one that goes first.
    static bool later(const Calendar* one, const Calendar* two) { return goes_before(*two, *one); }

    std::vector<Calendar*> calendars_;
};

}  // namespace

long long merge(std::span<Calendar> calendars, MergeSink& out) {
    Heap heap;
    bool read_failed = false;
    for (std::size_t i = 0; i < calendars.size(); ++i) {
        calendars[i].set_index(i);
        next_match(calendars[i], out);
        if (!calendars[i].ended()) {
            heap.push(calendars[i]);
        }
        read_failed = read_failed || calendars[i].failed();
    }
    if (read_failed) {
        return 0;
    }
    long long written = 0;
    std::vector<Calendar*> tied;
    while (heap.size() >= 2 && !out.failed()) {
        // Every calendar whose held match is at the first match's minute, in the order named.
        const MatchKeys first = heap.top().record().keys;
        tied.clear();
        while (!heap.empty() && heap.top().record().keys == first) {
            tied.push_back(&heap.pop());
        }
        // Alone, it ends its day's block when the next match is on a later day.
        const bool by_date =
            tied.size() == 1 && !heap.empty() && heap.top().record().keys.date != first.date;
        for (Calendar* calendar : tied) {
            take(*calendar, out);
            ++written;
        }
        if (tied.size() > 1 || by_date) {
            out.day_break();
        }
        for (Calendar* calendar : tied) {
            if (!calendar->ended()) {
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
        // The rest of the last calendar, with no day breaks.
        Calendar& last = heap.top();
        while (!last.ended() && !out.failed()) {
            take(last, out);
            ++written;
        }
    }
    return written;
}

long long merge(std::span<Calendar> calendars, LineWriter& out) {
    MergedText text(out);
    return merge(calendars, text);
}

}  // namespace gironario
