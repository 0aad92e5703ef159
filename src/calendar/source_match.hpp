#pragma once

// A match as a spreadsheet row or an iCalendar event gives it, read whole before the merge: the
// readers of those files fill these, and the run places them among the text calendars' lines.

#include <cstddef>
#include <functional>
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

// A file of matches that is read whole, and kept whole instead of its matches: read() finds each
// match and where it begins, and read_again() reads one from there when its turn comes, so that
// a season costs its file's bytes and a few numbers a match.
class SourceFile {
  public:
    virtual ~SourceFile() = default;

    // Gives every match to `take` in the file's order, with the byte where it begins, and fills
    // `reading` but for its matches.
    using Take = std::function<void(SourceMatch& match, std::size_t where)>;
    virtual void read(SourceReading& reading, const Take& take) = 0;

    // The match that read() gave at `where`, the `position`-th of the file (from 1), whose line
    // is `line_number`.
    virtual void read_again(std::size_t where, long long line_number, long long position,
                            SourceMatch& match) = 0;
};

// Every match of a file at once, as read() gives them.
SourceReading read_whole(SourceFile& file);

}  // namespace gironario
