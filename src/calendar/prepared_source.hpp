#pragma once

// The matches of a table or an iCalendar file, read whole, made into records for the merge: the
// dated ones in date and time order (those of one minute in the file's order), each with the line
// the formats that copy lines write for it; the others kept apart, to be told and listed.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/match_record.hpp"
#include "calendar/source_match.hpp"

namespace gironario {

// What kind of file a calendar is, by its name's ending (any case).
enum class CalendarKind { text, table, tab_table, icalendar };
CalendarKind calendar_kind(std::string_view name);

// A table or an iCalendar file read whole. Its dated matches are kept as where they begin in the
// file and when they start; each is read again, and made a record, when the merge comes to it.
class PreparedCalendar {
  public:
    PreparedCalendar() = default;
    PreparedCalendar(const PreparedCalendar&) = delete;
    PreparedCalendar& operator=(const PreparedCalendar&) = delete;

    // Its error, its notices and its encoding (not its matches: see dated() and undated).
    const SourceReading& reading() const { return reading_; }

    // How many of its matches are dated, and the `i`-th of them in date and time order (those
    // of one minute in the file's order): what it points into lasts until the next call.
    std::size_t dated_count() const { return dated_.size(); }
    const MatchRecord& dated(std::size_t i);

    // Those that cannot be dated, in the file's order, to be told and listed.
    std::vector<MatchRecord> undated;

  private:
    friend void prepare_calendar(CalendarKind, std::string, PreparedCalendar&);

    struct Dated {
        long long start = 0;
        std::size_t where = 0;
        long long line_number = 0;
        long long position = 0;
    };

    void make_record(const SourceMatch& match, std::string& line, MatchRecord& record) const;

    CalendarKind kind_ = CalendarKind::text;
    std::string bytes_;
    std::unique_ptr<SourceFile> file_;
    SourceReading reading_;
    std::vector<Dated> dated_;
    std::vector<SourceMatch> undated_matches_;  // what `undated` points into
    std::vector<std::string> undated_lines_;
    SourceMatch match_;  // the dated match in hand
    std::string line_;
    MatchRecord record_;
};

// Reads `bytes`, a whole file of `kind` (not text), into `calendar`; its reading's error says
// why it is no calendar of that kind.
void prepare_calendar(CalendarKind kind, std::string bytes, PreparedCalendar& calendar);

// The place where a match is, as a phone navigates to it: a row's place, address and town, or an
// event's whole location; a text line's place.
std::string location_of(const MatchRecord& match);

}  // namespace gironario
