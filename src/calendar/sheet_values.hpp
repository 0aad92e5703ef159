#pragma once

// What a workbook's cell shows for a number, whichever kind of file it came from: a date or time
// serial as the table rules read dates ("dd/mm/yyyy", "hh:mm" or both), whether a number format
// shows a date or a time, and a number as the shortest decimal that reads back the same.

#include <optional>
#include <string>
#include <string_view>

namespace gironario {

// What a number cell shows, by its number format.
enum class Shown { number, date, time, date_time };

// What Excel's built-in number format `id` shows (14 to 22 and 45 to 47 are its dates and times).
Shown shown_by_builtin_format(unsigned long long id);

// What a custom number format code shows, read for the letters of a date or a time: quoted text,
// escaped characters, fill and padding characters and colours or locales in brackets show
// nothing of the value; elapsed time ([h], [mm], [ss]) does.
Shown shown_by_format_code(std::string_view code);

// "dd/mm/yyyy" written out, the year in four digits.
std::string day_text(int year, int month, int day);

// `minutes` of a day, from 0 to 1439, as "hh:mm".
std::string clock_text(int minutes);

// A date or time serial, counted from 1900 (with the 29/02/1900 Excel counts) or from 1904, as
// the cell shows it, rounded to the minute: `time` the time of day only, `date_time` the date and
// the time, any other the date and the time where it is not midnight; below one day the time
// only. Empty when the serial is no moment up to 31/12/9999.
std::string serial_text(double serial, Shown shown, bool from_1904);

// How a number with a fraction is written: `fixed` always without an exponent (0.0000001),
// `shorter` in whichever of the two notations is the shorter (1e-07).
enum class Notation { fixed, shorter };

// A number as the shortest decimal that reads back the same: a whole one as all its digits,
// zero (and -0) as "0". Infinities and NaN, which no spreadsheet writes, come out as "inf",
// "-inf" and "nan".
std::string number_text(double value, Notation notation);

// A number written as text, blanks around it and a '+' allowed; nothing unless it is a finite
// number that fills the text.
std::optional<double> number_value(std::string_view text);

// A number written as text as the cell shows it: an integer as its digits however long, any
// other by number_text(), in the fixed notation; nothing when it is no finite number.
std::optional<std::string> number_text(std::string_view text);

}  // namespace gironario
