#pragma once

// A calendar while it is being merged: the source of its matches, one record at a time in its own
// order. A text calendar reads its lines as they come; a table or an iCalendar file has been read
// whole and its matches put in order before the merge (prepared_source.hpp). The merge, the checks
// and the formats take the record of the held match and never read its line again.

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "calendar/match_record.hpp"
#include "calendar/team_filter.hpp"
#include "calendar/typed_date.hpp"
#include "io/line_reader.hpp"
#include "io/line_writer.hpp"
#include "io/text.hpp"

namespace gironario {

// Whether a match names one of the teams that `filter` keeps: a row's or an event's home, away
// or title, a text line's words after its place (the whole line when it has no place).
bool names_a_team(const TeamFilter& filter, const MatchRecord& match);

class PreparedCalendar;

class Calendar {
  public:
    // A text calendar read through `lines`, whose years have `year_digits` digits, named `name`.
    Calendar(LineReader& lines, int year_digits, std::string name = {})
        : lines_(&lines), year_digits_(year_digits), name_(std::move(name)) {}

    // A calendar of matches read whole and put in order (prepared_source.hpp), named `name`; they
    // must outlive it.
    Calendar(PreparedCalendar& matches, std::string name)
        : prepared_(&matches), name_(std::move(name)) {}

    // The held match, once the calendar has moved to one.
    MatchRecord record;
    // Its place in the order named, which wins ties; set by the merge.
    std::size_t index = 0;
    bool ended = false;

    const std::string& name() const { return name_; }
    int year_digits() const { return year_digits_; }
    bool failed() const { return lines_ != nullptr && lines_->failed(); }
    int error() const { return lines_ != nullptr ? lines_->error() : 0; }

    // Keeps only the matches that `filter` keeps; it must outlive the calendar.
    void keep_only(const TeamFilter& filter) { filter_ = &filter; }
    // Whether the filter has left out every match the merge was given, and there were some.
    bool none_kept() const { return kept_ == 0 && left_out_ > 0; }

    // Moves to the next line: true when it is a match line, whose record is then made. At the end
    // of the input the calendar has ended. The matches a filter leaves out are passed over.
    bool next();

  private:
    bool next_any();
    bool kept_by_filter() const;

  public:
    // The held line that is not a match line, as the reader has it (its head).
    std::string_view skipped_line() const { return lines_ != nullptr ? lines_->head() : ""; }
    long long line_number() const { return line_number_; }

    // Hands the held match's line to `put` piece by piece as the formats that copy lines write
    // it, consuming it: the century of a four-digit year in its columns is left out, and a line
    // typed out of its columns is written as it was read. No line feed.
    template <typename Put>
    void consume_written(Put&& put) {
        if (lines_ == nullptr) {
            put(record.line);
            return;
        }
        if (typed_in_hand_) {
            // Written as it was read by its real date.
            lines_->consume([](std::string_view, std::size_t) {});
            put(record.line);
            return;
        }
        // Only a line whose date stands in its columns loses its century: nothing else is cut.
        if (year_digits_ != 4 || !record.in_place) {
            lines_->consume([&](std::string_view piece, std::size_t) { put(piece); });
            return;
        }
        const std::size_t century = century_position(record.number_offset);
        lines_->consume([&](std::string_view piece, std::size_t offset) {
            // Leave out the two century digits wherever they fall within this piece.
            const std::size_t end = offset + piece.size();
            const std::size_t skip_begin = std::clamp(century, offset, end) - offset;
            const std::size_t skip_end = std::clamp(century + 2, offset, end) - offset;
            put(piece.substr(0, skip_begin));
            put(piece.substr(skip_end));
        });
    }

    // Makes the held record whole: a line longer than the reader's buffer is gathered in memory,
    // so that its title runs to the line's end, and its words are found. For the formats that
    // show them.
    void complete() {
        if (!record.whole) {
            gathered_.clear();
            lines_->consume([&](std::string_view piece, std::size_t) { gathered_.append(piece); });
            record.line = gathered_;
            record.whole = true;
            record.padded = false;
        }
        if (!record.words) {
            const MatchWords words = words_of(record);
            record.number = words.number;
            record.place = words.place;
            record.title = words.title;
            record.words = true;
        }
    }

  private:
    void read_record(std::string_view line);
    void read_typed(std::string_view line);
    bool next_prepared();

    LineReader* lines_ = nullptr;
    PreparedCalendar* prepared_ = nullptr;
    std::size_t next_prepared_ = 0;
    int year_digits_ = 2;
    std::string name_;
    long long line_number_ = 0;  // of the held line in its file, from 1
    // The date of the latest match read in place, and the minute_number() of its midnight, or -1
    // when that date does not exist: most lines share their day with the line before.
    std::uint64_t day_key_ = 0;
    std::uint16_t day_century_ = 0;
    long long day_start_ = -2;  // none yet
    MatchMonth month_;          // of that date
    std::string gathered_;      // a line longer than the reader's buffer, made whole
    TypedLine typed_;           // a line typed out of its columns, as it is written
    bool typed_in_hand_ = false;
    MatchKeys previous_keys_{};  // of the latest dated match: where an undated one is placed
    const TeamFilter* filter_ = nullptr;
    long long left_out_ = 0;
    long long kept_ = 0;
};

// Writes the calendar's held match line, consuming it, with a line feed whether the line had one
// or not: the merged text's match line.
inline void write_match_line(Calendar& calendar, LineWriter& out) {
    calendar.consume_written([&](std::string_view piece) { out.put(piece); });
    out.put('\n');
}

}  // namespace gironario
