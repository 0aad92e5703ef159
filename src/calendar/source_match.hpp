#pragma once

// A match as a spreadsheet row or an iCalendar event gives it, read whole before the merge: the
// readers of those files fill these, and the run places them among the text calendars' lines.

#include <optional>
#include <string>
#include <vector>

#include "calendar/match_time.hpp"

namespace gironario {

// One row or event that is a match.
struct SourceMatch {
    long long line_number = 0;       // where its row or event starts in the file, from 1
    std::optional<LocalTime> start;  // in Italian local time; nothing when it cannot be dated
    std::string unreadable;          // why it cannot be dated, Latin-1 Italian text; else empty
    std::string number;              // as written, or its place among the file's matches (1, 2...)
    std::string title;               // "HOME - AWAY", else the title, else the place
    std::string home;                // empty when the file names no home team
    std::string away;                // likewise
    std::string place;               // words and all; empty when the file gives none
    std::string address;             // of the place, when given
    std::string town;                // likewise
    std::string uid;                 // the event's own UID in an .ics file; empty for a table
};

// Something to tell about a row or event that is not a match to place (a cancelled event, one
// that repeats, a time zone not known), as "gironario: FILE:LINE: text".
struct SourceNotice {
    long long line_number = 0;
    std::string text;  // Latin-1 Italian text
};

// What a reader made of a whole file.
struct SourceReading {
    std::vector<SourceMatch> matches;   // in the file's order, dated or not
    std::vector<SourceNotice> notices;  // in the file's order
    bool utf8 = true;                   // the texts' bytes: UTF-8, else Windows-1252
    std::string error;  // when the file is not a calendar of its kind: why, Latin-1 Italian text
};

}  // namespace gironario
