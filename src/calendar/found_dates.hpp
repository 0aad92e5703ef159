#pragma once

// Dates and times found anywhere in a line, as listings copied from web pages and PDFs write
// them, and the year of a date written without one.

#include <cstddef>
#include <optional>
#include <string_view>

#include "calendar/typed_date.hpp"

namespace gironario {

// What a date written without its year ("3 gennaio", "sab 11/10") is read against: the nearest
// earlier date of its file that writes its year, and the run's day.
struct YearContext {
    std::optional<Date> latest;
    Date today;
};

// The day that a day and month without a year stand for: in the year of `context.latest`, or the
// year after when they come before its day and month (a season runs from autumn into spring);
// with no such date, in the year that puts it within six months of `context.today`. Nothing when
// that day does not exist.
std::optional<Date> date_in_season(int month, int day, const YearContext& context);

// Where something found stands in a text: from `begin` up to `end`.
struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The first date and the first time a text holds, anywhere in it, with the words written before
// them ("sab", "ore", "alle ore") in their spans. A date is one that read_date() reads, with its
// weekday, or a day and month alone with `/` ("5/9") or by the month's name ("1\xB0 marzo"),
// its year from `context`; a time is 18:00, 18.00, 18,00 or 18h00, or a whole hour after ore, h,
// h. or alle ("ore 15"). Each starts and ends at the edge of a word.
struct FoundDates {
    std::optional<Date> date;
    bool year_written = false;  // the date writes its year
    TextSpan date_span;
    std::optional<ClockTime> time;
    TextSpan time_span;
};
FoundDates find_dates(std::string_view text, const YearContext& context);

// Whether a date or a time that find_dates() reads may begin where `text` begins: at a digit, a
// weekday or a word written before a time ("ore", "h", "alle"). Most words are none.
bool may_start_date_or_time(std::string_view text);

}  // namespace gironario
