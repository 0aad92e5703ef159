#include "calendar/merge.hpp"

#include "calendar/merge_steps.hpp"

namespace gironario {

long long merge(std::span<Calendar> calendars, MergeSink& out) {
    return merge_steps::merge_calendars(calendars, out);
}

long long merge(std::span<Calendar> calendars, LineWriter& out) {
    MergedText text(out);
    return merge_steps::merge_calendars(calendars, text);
}

}  // namespace gironario
