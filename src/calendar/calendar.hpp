#pragma once

// A calendar while it is being merged: the source of its matches, one record at a time in its own
// order. A text calendar reads its lines as they come and makes each match line a record as it
// reads it; a table or an iCalendar file has been read whole and its records put in order before
// the merge (prepared_source.hpp). The merge, the checks and the formats take the held record.

#include <string>
#include <string_view>
#include <vector>

#include "calendar/listing_line.hpp"
#include "calendar/match_record.hpp"
#include "calendar/prepared_source.hpp"
#include "calendar/team_filter.hpp"
#include "io/line_reader.hpp"

namespace gironario {

// Whether a match names one of the teams that `filter` keeps: a row's or an event's home, away
// or title, a text line's words after its place (the whole line when it has no place).
bool names_a_team(const TeamFilter& filter, const MatchRecord& match);

// Which of the teams that `filter` keeps a match names, by their places in the filter, read as
// names_a_team() reads them.
std::vector<std::size_t> teams_named(const TeamFilter& filter, const MatchRecord& match);

// What Calendar::next() found.
enum class CalendarStep {
    match,    // a match, whose record is held
    skipped,  // a line that is no match line: see skipped_line()
    ended,    // the end of the calendar, or a read that failed: see failed()
};

class Calendar {
  public:
    // A text calendar read through `lines`, whose years have `year_digits` digits, named `name`.
    Calendar(LineReader& lines, int year_digits, std::string name = {})
        : lines_(&lines), year_digits_(year_digits), name_(std::move(name)) {}

    // A calendar of matches read whole and put in order, named `name`; they must outlive it.
    Calendar(PreparedCalendar& matches, std::string name)
        : prepared_(&matches), name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    int year_digits() const { return year_digits_; }
    bool failed() const { return lines_ != nullptr && lines_->failed(); }
    int error() const { return lines_ != nullptr ? lines_->error() : 0; }

    // Its place in the order named, which wins ties; set by the merge, and given to its records.
    std::size_t index() const { return index_; }
    void set_index(std::size_t index);

    bool ended() const { return ended_; }

    // Names of places of several words ("Palestra Pascoli"), longest first: a text line whose
    // place begins with one of them, ASCII case aside, has that whole name as its place. They
    // must outlive the calendar.
    void know_places(const std::vector<std::string>& places) { places_ = &places; }

    // The run's day, which a date written without its year is read near when no earlier line of
    // the calendar writes one.
    void set_run_day(const Date& day) { listing_.years.today = day; }

    // Keeps only the matches that `filter` keeps; it must outlive the calendar.
    void keep_only(const TeamFilter& filter) { filter_ = &filter; }
    // Whether the filter has left out every match the merge was given, and there were some.
    bool none_kept() const { return kept_ == 0 && left_out_ > 0; }

    // Whether the calendar, read to its end, had lines that are not white space but no match
    // line: it is not empty, and yet no match can be read from it.
    bool only_other_lines() const { return match_lines_ == 0 && other_text_; }

    // Moves to the next line. The matches a filter leaves out are passed over.
    CalendarStep next();

    // The held match, after next() found one.
    const MatchRecord& record() const {
        return prepared_ != nullptr ? prepared_->dated[next_prepared_ - 1] : text_record_;
    }

    // The line passed over, after next() skipped one; its number in the file.
    std::string_view skipped_line() const { return lines_ != nullptr ? lines_->line() : ""; }
    long long line_number() const { return line_number_; }

  private:
    CalendarStep next_any();
    // Fills the held record from a match line; false for a heading numbered like one.
    bool read_line(std::string_view line);
    void find_known_place(std::string_view line, std::size_t from);
    ListingLine read_listing(std::string_view line, bool match_line);

    LineReader* lines_ = nullptr;
    PreparedCalendar* prepared_ = nullptr;
    std::size_t next_prepared_ = 0;
    int year_digits_ = 2;
    std::string name_;
    std::size_t index_ = 0;
    bool ended_ = false;
    long long line_number_ = 0;  // of the held line in its file, from 1
    MatchRecord text_record_;    // a text calendar's held match
    // The number offset of the latest line read in its columns: a line whose number shows none
    // keeps it.
    int number_offset_ = 0;
    // Of the latest match line whose date stands in its columns or was read by its real date:
    // a line that has none stays after it.
    MatchKeys previous_keys_{};
    const TeamFilter* filter_ = nullptr;
    const std::vector<std::string>* places_ = nullptr;
    long long left_out_ = 0;
    long long kept_ = 0;
    long long match_lines_ = 0;
    bool other_text_ = false;  // a line passed over holds more than white space
    // Of the lines read as a web page's or a PDF's listing: the heading's day, the header row.
    ListingState listing_;
    bool listing_held_ = false;  // the held record is a listing's match
};

}  // namespace gironario
