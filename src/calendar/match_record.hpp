#pragma once

// A match as the run knows it once it has been read: filled whole by its source when the source
// reads it, and taken as it is by the merge, the checks and every format. Nothing after the
// source looks at the bytes it came from.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/match_time.hpp"
#include "io/message.hpp"

namespace gironario {

// Where the merge places a match: of two matches, the one with the smaller `date` is earlier by
// its date, and at equal dates the one with the smaller `time` is earlier by its time. `date` is
// yymmdd (the year's last two digits only: the century is never compared), `time` hhmm.
struct MatchKeys {
    int date = 0;
    int time = 0;

    friend bool operator==(const MatchKeys&, const MatchKeys&) = default;
};

// What became of reading a match's date and time.
enum class Dating : std::uint8_t {
    dated,
    bad_shape,   // a text line whose date and time do not stand where the merge reads them
    bad_date,    // a text line in its columns whose day, hour or minute does not exist
    unreadable,  // a row or event whose date or time cannot be read: see `unreadable`
};

// What kind of calendar a match comes from.
enum class MatchSource : std::uint8_t { text, table, icalendar };

struct MatchRecord {
    MatchSource source = MatchSource::text;
    std::size_t calendar = 0;   // its calendar's place in the order named
    long long line_number = 0;  // of its line, row or event in its file, from 1

    // The line as the formats that copy lines write it, without its line feed: a text line with
    // the century of a four-digit year in its columns left out (a line typed out of its columns
    // as the columns write it); a row or event as "NUMBER dd/mm/yy hh:mm PLACE TITLE".
    std::string line;

    // Its words: the number as written, the place (one word of a text line; a row's or event's
    // words and all) and the title (what follows the place, trimmed; may be empty).
    std::string number;
    std::string place;
    std::string title;
    // Where a phone navigates to: a row's place, address and town, or an event's whole location.
    // Empty for a text line, whose place is all it has.
    std::string location;
    std::string address;  // a row's, when the file gives them
    std::string town;
    std::string league;  // a row's league (Campionato, Categoria, Girone), when the file names it
    std::string home;    // a row's teams, when the file names them
    std::string away;
    std::string uid;  // an event's own UID
    // A row's code from its table's number column (Gara N, Codice gara...): empty where the table
    // has none or the cell is empty, as the match is then known by its file and row.
    std::string code;

    Dating dating = Dating::bad_shape;
    MatchKeys keys;
    LocalTime at;         // when dated
    long long start = 0;  // minute_number(at), when dated
    // For a text line in its columns whose day does not exist: "dd/mm/yy alle hh:mm" as
    // written. For a row or event that cannot be dated: why, in Latin-1 Italian text.
    std::string unreadable;
    // Of a row that cannot be dated, whether its day or its time is known all the same (in `at`).
    bool day_known = false;
    bool time_known = false;
    // A match whose day is known (in `at`, at 00:00) and whose time is not set yet: an empty time
    // cell, a date alone, "da definire" where the time would stand, an event of a whole day. Not
    // a time written wrong (18:9o), which a misprint must not turn into another event.
    bool time_pending = false;
    // Whether a text line's date and time stand in its columns (or it was read by its real date).
    bool in_place = false;
    // The digits of the year as the match's line writes it: 4 only for a text line in its
    // columns with a four-digit year.
    int year_digits = 2;
};

// Sets the date of a row or an event, and the keys that follow from it.
void set_row_start(MatchRecord& match, const LocalTime& start);

// The line a row or an event is written as by the formats that copy lines: "NUMBER dd/mm/yy
// hh:mm PLACE TITLE" ("--" for no date, "-" for no place), the spaces inside the number and
// the place as no-break spaces in the file's encoding.
std::string row_line(const MatchRecord& match, bool utf8);
// The same, appended to `line` (which may be the match's own: it is not read).
void append_row_line(std::string& line, const MatchRecord& match, bool utf8);

// Why a match is left out of a format or put apart from its day, as a message's reason: "gara N
// del dd/mm/yyyy alle hh:mm: data o ora inesistente", then `where`, in the message's encoding
// already, which says where it is instead (", la gara non \xE8 in calendario.ics"). One table of
// reasons for every format.
enum class LeftOut : std::uint8_t { unreadable, no_date, past_9999 };
std::string left_out_reason(LeftOut why, const MatchRecord& match, std::string_view where,
                            const MessageText& text);

// The title of a match as the formats show it: its title, or its place when the title is empty,
// read as append_plain_text() reads text (io/text.hpp), the control characters left out first and
// the spaces at both ends trimmed after.
std::string match_title(std::string_view title, std::string_view place, bool utf8);
inline std::string match_title(const MatchRecord& match, bool utf8) {
    return match_title(match.title, match.place, utf8);
}

// "dd/mm/yyyy hh:mm" of a moment, as the messages write it.
void append_date_time(std::string& text, const LocalTime& time);
void append_date(std::string& text, const LocalTime& time);   // dd/mm/yyyy
void append_clock(std::string& text, const LocalTime& time);  // hh:mm
void append_two_digits(std::string& text, int value);

}  // namespace gironario
