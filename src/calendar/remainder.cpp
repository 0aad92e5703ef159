#include "calendar/remainder.hpp"

#include "calendar/merge_steps.hpp"

namespace gironario {

long long copy_rest(Calendar& calendar, MergeSink& out) {
    return merge_steps::take_rest(calendar, out);
}

long long copy_rest(Calendar& calendar, LineWriter& out) {
    MergedText text(out);
    return merge_steps::take_rest(calendar, text);
}

}  // namespace gironario
