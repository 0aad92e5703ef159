#include "calendar/merge.hpp"

#include "calendar/clash_sink.hpp"
#include "calendar/merge_steps.hpp"

namespace gironario {

namespace {

using merge_steps::next_match;
using merge_steps::take;

// One loop for every sink: over a MergedText, the type that the program's own merge writes
// through, the calls to the sink are direct and inline.
template <typename Sink>
long long merge_into(Calendar& first, Calendar& second, Sink& out) {
    long long written = 0;
    next_match(first);
    next_match(second);
    while (!first.ended && !second.ended && !out.failed()) {
        const MatchKeys& one = first.keys;
        const MatchKeys& two = second.keys;
        const bool by_date = one.date != two.date;
        if (!by_date && one.time == two.time) {
            take(first, out);
            take(second, out);
            out.day_break();
            written += 2;
            continue;
        }
        const bool first_earlier = by_date ? one.date < two.date : one.time < two.time;
        take(first_earlier ? first : second, out);
        if (by_date) {
            out.day_break();
        }
        ++written;
    }
    if (first.lines.failed() || second.lines.failed() || out.failed()) {
        return written;
    }
    if (first.ended != second.ended) {
        written += merge_steps::take_rest(first.ended ? second : first, out);
    }
    return written;
}

}  // namespace

long long merge(Calendar& first, Calendar& second, MergeSink& out) {
    return merge_into(first, second, out);
}

long long merge(Calendar& first, Calendar& second, LineWriter& out) {
    MergedText text(out);
    return merge_into(first, second, text);
}

long long merge(Calendar& first, Calendar& second, ClashSink<MergedText>& out) {
    return merge_into(first, second, out);
}

}  // namespace gironario
