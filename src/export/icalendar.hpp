#pragma once

// The merged calendar as an iCalendar file (calendario.ics) that a phone calendar imports: one
// event for each match line whose date and time exist, at the local time the line gives.
//
// An event's UID is made so that importing a newer file updates the events of an older one:
//     UID:<start>-<hash>-<occurrence>-<calendar>@gironario
// <start> is the match's date and time (YYYYMMDDTHHMM), <hash> the 16 hexadecimal digits of the
// 64-bit FNV-1a hash of the line's bytes less a CR at its end (so that a calendar keeps its UIDs
// whether its Windows line ends reach the writer or not), and <occurrence> counts the lines of that
// calendar with that hash in its current run of lines of one date and time: 1 for the first, 2 for
// an identical line after it, and so on. So the same line of the same calendar gets the same UID
// in every run, and the only state kept is a short list per calendar, emptied when its date and
// time move on.
//
// Where such a count could repeat one made before, <occurrence> is instead L and the line's number
// in its calendar: for a line earlier than the latest date and time already seen in its calendar
// (an out-of-order calendar may have counted that run before), and for a line past the first 64
// different ones of a run. So within a calendar two counted events differ by start, hash or count,
// and an L form by its line number, never looking like a count: no two events of one file share
// a UID.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/line_writer.hpp"

namespace gironario {

// What an iCalendar file is written with.
struct IcsSettings {
    int duration_minutes = 120;  // how long a match lasts, 1 to 1440
    std::string dtstamp;         // the run's time in UTC, as ics_timestamp() writes it
    std::string version;         // gironario's version, named in PRODID
};

// What became of a match line: an event, or why it was left out of the file.
enum class IcsEvent {
    written,
    bad_shape,  // a key character or a century digit is not a digit, or lies past the line's end
    bad_date,   // that day, hour or minute does not exist
    bad_end,    // the match would end after the year 9999
};

// Writes an iCalendar file through `out`, in UTF-8 with CR LF line ends: begin(), then event()
// for every match line in the merged order, then end(). Memory grows with the longest line, not
// with the number of lines.
class IcsWriter {
  public:
    IcsWriter(LineWriter& out, IcsSettings settings);

    // Writes BEGIN:VCALENDAR, VERSION and PRODID.
    void begin();

    // Writes the event of a match line: `line` is the whole line as its calendar has it (four-digit
    // years with their century) without its line feed, `width` its width offset, `year_digits`
    // its calendar's (2 or 4), `calendar_name` the calendar's file name and `line_number` the
    // line's number in it, from 1. A line that is left out writes nothing and says why.
    IcsEvent event(std::string_view line, int width, int year_digits,
                   std::string_view calendar_name, long long line_number);

    // Writes END:VCALENDAR.
    void end();

  private:
    // The count of a calendar's lines in its current run of one date and time, by line hash.
    struct Occurrences {
        std::string calendar;
        long long latest_start = -1;
        std::vector<std::pair<std::uint64_t, long long>> counts;
    };

    // The occurrence part of a UID, as the header tells.
    void append_occurrence(std::string_view calendar_name, long long start, std::uint64_t hash,
                           long long line_number);
    void put_text_line(std::string_view name, std::string_view bytes, bool utf8);

    LineWriter& out_;
    IcsSettings settings_;
    std::vector<Occurrences> calendars_;
    std::string content_;  // the content line being made, kept for its capacity
};

// Why a match line was left out, in Italian (Latin-1 text): the match number, the date and time as
// read and that the match is not in `file_name`. For a line that event() did not write.
std::string ics_left_out_reason(IcsEvent why, std::string_view line, int width, int year_digits,
                                std::string_view file_name = "calendario.ics");

// The UTC date and time of `time` as DTSTAMP writes it, "YYYYMMDDTHHMMSSZ"; nothing for a time
// that the system cannot break down or that lies outside the years 0 to 9999.
std::optional<std::string> ics_timestamp(std::time_t time);

}  // namespace gironario
