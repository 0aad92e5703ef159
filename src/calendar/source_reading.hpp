#pragma once

// What the readers of files read whole (tables, workbooks, web pages, iCalendar files) make of
// one: every match a record, filled as far as the file tells, and what else there is to say.

#include <string>
#include <vector>

#include "calendar/match_record.hpp"

namespace gironario {

// Something to tell about a row or event that is not a match to place (a cancelled event, one
// that repeats, a time zone not known), as "gironario: FILE:LINE: text".
struct SourceNotice {
    long long line_number = 0;
    std::string text;  // Latin-1 Italian text
};

// What a reader made of a whole file. Each match has its line number, its words as the file
// writes them (number, title, home, away, place, address, town, uid) and either its start
// (set_row_start()) or why it has none (`unreadable`); prepare_calendar() does the rest.
struct SourceReading {
    std::vector<MatchRecord> matches;   // in the file's order, dated or not
    std::vector<SourceNotice> notices;  // in the file's order
    bool utf8 = true;                   // the texts' bytes: UTF-8, else Windows-1252
    std::string error;  // when the file is not a calendar of its kind: why, Latin-1 Italian text
};

}  // namespace gironario
