#pragma once

// A match as the run knows it once it has been read: made once, where the merge reads it, and
// taken as it is by the checks and by every format.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calendar/match_time.hpp"
#include "io/message.hpp"

namespace gironario {

// The date and time of a match line as two numbers that order as its keys do: of two lines, the
// one with the smaller `date` is earlier by its date (year, month, day), and at equal dates the
// one with the smaller `time` is earlier by its time. Worked out once per line, so that the merge
// compares two numbers instead of ten key characters at every step. A text line's `date` holds
// its day's two characters in its lowest 16 bits, above them its month's and then its year's.
struct MatchKeys {
    std::uint64_t date = 0;
    std::uint64_t time = 0;
};

// What became of reading a match's date and time.
enum class Dating : std::uint8_t {
    dated,
    bad_shape,   // a key character or a century digit is not a digit, or lies past the line's end
    bad_date,    // that day, hour or minute does not exist
    unreadable,  // a row or event whose date or time cannot be read: see `unreadable`
};

struct SourceMatch;

// One match. The views point into its calendar's reader or into what its source keeps; they last
// until the calendar moves on to its next match.
struct MatchRecord {
    std::size_t calendar = 0;   // its calendar's place in the order named
    long long line_number = 0;  // of its line, row or event in its file, from 1
    // The line as its calendar writes it (four-digit years whole), without its line feed: only
    // its head when `whole` is false. A row or an event has the line it is written as.
    std::string_view line;
    bool whole = true;
    // Its words: the number as written, the place (one word of a text line; a row's or event's
    // words and all) and the title (what follows the place, trimmed; may be empty). A text
    // line's are found only when asked for (`words` false): then words_of() finds them in `line`,
    // the place from `place_from` on (npos: none).
    bool words = true;
    std::size_t place_from = 0;
    std::string_view number;
    MatchKeys keys;  // where the merge places it
    // Whether its date and time stand where the merge reads them: only such a line loses its
    // century when written.
    bool in_place = false;
    Dating dating = Dating::bad_shape;
    long long start = 0;  // minute_number() of its start, when dated
    std::string_view place;
    std::string_view title;
    // Its line stands in a reader's buffer, with 64 more bytes that may be read after its start
    // whatever its length: copied in one move.
    bool padded = false;
    // A text line's reading: its number offset and its calendar's year digits.
    int number_offset = 0;
    int year_digits = 2;
    // The row or event it comes from, for what only those have (an address, the source's UID).
    const SourceMatch* source = nullptr;
};

// A match's number, place and title, as the record has them or as they are found in its line.
struct MatchWords {
    std::string_view number;
    std::string_view place;
    std::string_view title;
};
MatchWords words_of(const MatchRecord& match);
// Its place alone, as words_of() finds it.
std::string_view place_of(const MatchRecord& match);

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
std::string match_title(const MatchWords& words, bool utf8);
inline std::string match_title(const MatchRecord& match, bool utf8) {
    return match_title(words_of(match), utf8);
}

// "dd/mm/yyyy hh:mm" of a moment, as the messages write it.
void append_date_time(std::string& text, const LocalTime& time);
void append_date(std::string& text, const LocalTime& time);   // dd/mm/yyyy
void append_clock(std::string& text, const LocalTime& time);  // hh:mm

}  // namespace gironario
