#pragma once

// The writers of the program's formats, each fed by the merge of a run's calendars, with the
// calendars' checks in front of it.

#include <ctime>
#include <span>
#include <string>
#include <string_view>

#include "calendar/calendar.hpp"
#include "calendar/line_check.hpp"
#include "export/ics_changes.hpp"
#include "export/ics_zone.hpp"
#include "io/line_writer.hpp"

namespace gironario {

// What the exports are written with, beyond the calendars.
struct ExportSettings {
    std::time_t now = 0;         // the time of the run, for the events' DTSTAMP
    int duration_minutes = 120;  // how long a match lasts, in every format for the clash check
    bool overlaps = false;       // tell overlaps of different calendars in different places
    std::string name;            // --nome, the result's own name; empty for the format's own
    IcsZone zone = IcsZone::europe_rome;  // --fuso, of the iCalendar file's times
};

// One merge into one result.
struct ExportJob {
    std::span<Calendar> calendars;
    CalendarChecks& checks;
    LineWriter& out;
    const ExportSettings& settings;
    std::string_view result_name;  // the result as the user will look for it, for the warnings
    // The file the result replaces, read, for a format that is written against it (iCalendar);
    // null when there is none to compare with.
    IcsChanges* changes = nullptr;
    // The matches of tables and iCalendar files that cannot be dated, for the formats that list
    // them apart.
    std::span<const MatchRecord* const> undated = {};
    // --squadra: the teams asked for, which tag the matches that name them; null for none.
    const TeamFilter* teams = nullptr;
};

// Merges the job's calendars into its output and returns the number of match lines written.
// The caller asks the readers and the writer whether anything failed.
using Export = long long (*)(ExportJob& job);

// The merged text: match lines and the empty lines between days.
long long export_merged_text(ExportJob& job);
// The tables, made as the merge goes.
long long export_spreadsheet(ExportJob& job);
long long export_web_page(ExportJob& job);
// The iCalendar file of the merged matches.
long long export_icalendar(ExportJob& job);
// The page for reading, day by day.
long long export_page(ExportJob& job);

}  // namespace gironario
