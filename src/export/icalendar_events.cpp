#include "export/icalendar_events.hpp"

#include "export/day_page.hpp"
#include "io/text.hpp"

namespace gironario {

std::vector<IcsSource> ics_sources(std::span<const Calendar> calendars) {
    std::vector<IcsSource> sources;
    sources.reserve(calendars.size());
    for (const Calendar& calendar : calendars) {
        IcsSource source;
        source.file_name = base_name(calendar.name());
        source.tag = calendar_tag(calendar.name());
        source.calendar = sources.size();
        // The first calendar of a file name has no rank, so it keeps its UIDs when another one
        // is named after it; the second is 2, and so on.
        int same = 0;
        for (const IcsSource& earlier : sources) {
            same += earlier.file_name == source.file_name ? 1 : 0;
        }
        source.rank = same == 0 ? 0 : same + 1;
        sources.push_back(source);
    }
    return sources;
}

IcalendarEvents::IcalendarEvents(IcsWriter& writer, LineWriter& out,
                                 std::span<const Calendar> calendars, CalendarChecks& checks,
                                 std::string_view file_name, const TeamFilter* teams)
    : writer_(writer),
      out_(out),
      checks_(checks),
      sources_(ics_sources(calendars)),
      tags_(calendars, teams) {
    checks_.text().own(where_, ", la gara non \xE8 in ");
    checks_.text().foreign(where_, file_name);
    checks_.text().own(kept_where_, ", la gara resta in ");
    checks_.text().foreign(kept_where_, file_name);
    checks_.text().own(kept_where_, " com'era");
}

IcsSource& IcalendarEvents::source_of(const MatchRecord& match) {
    IcsSource& source = sources_[match.calendar];
    source.line_number = match.line_number;
    categories_ = categories_of(tags_with(tags_, match, also(), tag_list_));
    source.categories = categories_;
    return source;
}

void IcalendarEvents::match(const MatchRecord& match, const BookedWith*) {
    IcsSource& source = source_of(match);
    const EventOutcome outcome = writer_.event(match, source);
    // Where the match stands now: out of the file, or in it as the previous file has it.
    const bool kept = outcome != EventOutcome::written && writer_.kept_previous();
    if (outcome == EventOutcome::undated) {
        checks_.unreadable(match, kept);
    } else if (outcome == EventOutcome::bad_date || outcome == EventOutcome::bad_end) {
        const LeftOut why =
            outcome == EventOutcome::bad_date ? LeftOut::no_date : LeftOut::past_9999;
        checks_.problem(match,
                        left_out_reason(why, match, kept ? kept_where_ : where_, checks_.text()));
    }
}

bool IcalendarEvents::unplaced(const MatchRecord& match) {
    return writer_.event(match, source_of(match)) == EventOutcome::written;
}

}  // namespace gironario
