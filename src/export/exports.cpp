#include "export/exports.hpp"

#include <cstdlib>

#include "calendar/merge.hpp"
#include "export/day_page.hpp"
#include "export/icalendar.hpp"
#include "export/icalendar_events.hpp"
#include "export/page_matches.hpp"
#include "export/same_match.hpp"
#include "export/table_export.hpp"

namespace gironario {

namespace {

long long merge_checked(ExportJob& job, MergeSink& sink) {
    Checked checked(job.checks, sink);
    return merge(job.calendars, checked);
}

long long export_table_directly(ExportJob& job, TableKind kind) {
    TableSink table(kind, job.out);
    const long long matches = merge_checked(job, table);
    table.finish();
    return matches;
}

}  // namespace

long long export_merged_text(ExportJob& job) {
    MergedText text(job.out);
    return merge_checked(job, text);
}

long long export_spreadsheet(ExportJob& job) {
    return export_table_directly(job, TableKind::spreadsheet);
}

long long export_web_page(ExportJob& job) {
    return export_table_directly(job, TableKind::web_page);
}

long long export_icalendar(ExportJob& job) {
    IcsSettings settings{job.settings.duration_minutes,
                         ics_timestamp(job.settings.now).value_or("19700101T000000Z"),
                         GIRONARIO_VERSION, job.settings.zone, job.settings.name};
    if (settings.name.empty()) {
        // The name of the file, as a subscribed calendar shows it: its last part, less the
        // extension.
        settings.name = calendar_tag(job.result_name);
    }
    settings.identity =
        published_identity(job.changes, std::getenv("SOURCE_DATE_EPOCH"), job.result_name);
    IcsWriter ics(job.out, std::move(settings), job.changes);
    IcalendarEvents events(ics, job.out, job.calendars, job.checks, job.result_name, job.teams);
    SameMatches once(events, job.checks, job.calendars, job.result_name);
    ics.begin();
    long long matches = merge_checked(job, once);
    once.finish();
    for (const MatchRecord* match : job.undated) {
        matches += events.unplaced(*match) ? 1 : 0;
    }
    ics.end();
    return matches - once.repeats();
}

long long export_page(ExportJob& job) {
    PageSettings settings;
    if (!job.settings.name.empty()) {
        settings.title = job.settings.name;
    }
    DayPage page(job.out, std::move(settings));
    PageMatches lines(page, job.out, job.calendars, job.checks, job.teams);
    SameMatches once(lines, job.checks, job.calendars, job.result_name);
    page.begin();
    // A match whose day is known waits on the page for its day, which the merge reaches later.
    long long matches = 0;
    for (const MatchRecord* match : job.undated) {
        if (match->time_pending) {
            lines.apart(*match);
            ++matches;
        }
    }
    matches += merge_checked(job, once);
    once.finish();
    for (const MatchRecord* match : job.undated) {
        if (!match->time_pending) {
            lines.apart(*match);
        }
    }
    page.end();
    return matches - once.repeats();
}

}  // namespace gironario
