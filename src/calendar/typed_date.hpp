#pragma once

// The one reader of dates and times: as people type them in calendars and spreadsheets ("sab
// 4/10/26", "ore 18.00"), read leniently but never guessed (a day or a time that does not exist is
// no date), and how a two-digit year is read, for every reader of the program.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/match_time.hpp"

namespace gironario {

// A day of the calendar, the year written in full.
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;

    friend bool operator==(const Date&, const Date&) = default;
};

// A time of day to the minute.
struct ClockTime {
    int hour = 0;
    int minute = 0;

    friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// The year that a year written with `digits` digits stands for: a two-digit year yy is 20yy up
// to 68 and 19yy from 69, as POSIX strptime's %y reads it; any other is read as written.
int full_year(int year, std::size_t digits);

// Whether the day exists, in the years 1 to 9999; whether the time exists, 00:00 to 23:59.
bool exists(const Date& date);
bool exists(const ClockTime& time);

// The date a whole cell gives: d/m/yy or dd/mm/yyyy with /, . or - between the fields, or
// yyyy-mm-dd, maybe after an Italian weekday ("sab", "Sabato,"), white space around allowed. A
// two-digit year yy is 20yy up to 68 and 19yy from 69. Nothing for any other text, or a day that
// does not exist.
std::optional<Date> read_date(std::string_view cell);

// The time a whole cell gives: 18:00, 18.00, 18,00, 18.3 (18:30, a spreadsheet's number), 18 alone,
// maybe after h, h., ore or alle (any case), maybe with AM or PM after it; seconds after a colon or
// dot are allowed and dropped. Nothing for 24:00 and past.
std::optional<ClockTime> read_time(std::string_view cell);

// What a date cell gives when it may also hold the time after the date ("18/03/26 20:30").
struct DateAndTime {
    Date date;
    std::optional<ClockTime> time;  // nothing when the cell holds the date alone
};

// A cell holding a date as read_date() reads it, then maybe white space or a comma and a time as
// read_time() reads it (after yyyy-mm-dd also a T, as spreadsheets export a moment).
std::optional<DateAndTime> read_date_and_time(std::string_view cell);

// A typed text calendar line read by its real date: its start, its year's last two digits (as
// the merge compares years) and the line written the way the merge writes a match line.
struct TypedLine {
    LocalTime start;
    int year_two_digits = 0;
    std::string line;  // "NUMBER dd/mm/yy hh:mm REST"
};

// Reads a line that from its start holds NUMBER, spaces or tabs, a date D{1,2}[/.-]D{1,2}[/.-]
// (D{4}|D{2}), spaces or tabs, maybe h, h., ore or alle with spaces or tabs, a time D{1,2}[:.]D{2},
// then spaces, tabs or the end (a CR that ends the line included). REST is what follows the time's
// white space, kept whole (a CR at the end too). False, with `out` unspecified, when the line is
// not such a line or its day or time does not exist. `out` is reused, so that a calendar of such
// lines costs no allocation per line.
bool read_typed_line(std::string_view line, TypedLine& out);

// Whether a line that is not a match line holds a date and, after it, a time: such a line is most
// likely a match written with something before its number (a space, a tab, a byte-order mark that
// was not the file's first), which the merge would drop without a word. A date is one or two
// digits, a separator (/ . or -), one or two digits, a separator and a year of four or two digits;
// a time is one or two digits, a colon or a full stop and two digits; no run of digits may go on
// past them on either side. Whether such a day exists is not looked at.
bool looks_like_match(std::string_view line);

// The same, returning a new record.
std::optional<TypedLine> read_typed_line(std::string_view line);

}  // namespace gironario
