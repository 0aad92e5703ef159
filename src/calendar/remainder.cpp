#include "calendar/remainder.hpp"

namespace gironario {

long long copy_rest(Calendar& calendar, LineWriter& out) {
    long long written = 0;
    for (; !calendar.ended && !out.failed(); calendar.advance()) {
        if (is_match_line(calendar.lines.head())) {
            calendar.width = detect_width(calendar.lines.head(), calendar.width);
            write_match_line(calendar, out);
            ++written;
        }
    }
    return written;
}

}  // namespace gironario
