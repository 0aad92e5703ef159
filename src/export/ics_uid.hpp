#pragma once

// Who an event is, whatever becomes of its match: its UID.
//
//     UID:<number>-<occurrence>[.<rank>]-<file name>[-<identity>]@gironario
//
// <number> is the match's number as its line writes it ("7", "0042"), <occurrence> which line of
// its calendar with that number this is, counted in the calendar's own line order (1 for the first,
// 2 for the next line with the same number...), and <file name> the calendar's file name without
// its folders, escaped as a text value. Where two calendars of one run have the same file name (in
// different folders), the second and later carry their rank among those calendars in the order
// named, 2, 3...; the first has none, so it keeps its UIDs when another is added.
//
// <identity> is the published calendar's own (X-WR-RELCALID in its head): made once for a new
// calendario.ics (new_calendar_identity()), read back from the file replaced and kept, so that two
// clubs or two folders never give the same UID and a target keeps its UIDs run after run. A file
// written by 1.2.0 has none, and none is added to it: its UIDs stay as 1.2.0 wrote them.
//
// Every match line is counted, whether or not its date and time can be read this time, so that a
// line left out does not shift the identities of the lines after it. The rows and events of a
// table or an iCalendar file are counted in the merge's order, then those that cannot be dated in
// the file's order.
//
// A match that has an identity of its own (match_identity.hpp), an event's UID or a table's code,
// is known by it instead, so that it stays one event however its calendar is sorted or its file is
// named again:
//
//     UID:<identity>[.<occurrence>][-<identity of the calendar>]@gironario
//
// its occurrence counted over the run, as the same identity in two calendars is the same match.
// 1.3.0 knew such a match by its number or its event's UID with its file name, as above: a feed's
// event keeps that UID where the file replaced has it (IcsWriter), the others change once.
//
// So a match keeps its UID when its date, time, place or teams are corrected, or its years are
// rewritten with four digits, and the UID says nothing of the run's time. No two events of a file
// share one: number and occurrence are digits ended by a '-' or a '.', so they part two UIDs
// before the file name is reached, and within a calendar each number's occurrences are counted.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "calendar/match_record.hpp"

namespace gironario {

// Where a match line comes from, as its event names it.
struct IcsSource {
    std::string_view file_name;  // the calendar's file name without folders: UID, DESCRIPTION
    std::string_view tag;        // the same without its extension
    int rank = 0;                // 0, or 2, 3... for a file name that an earlier calendar has
    std::size_t calendar = 0;    // the calendar's index in the order named
    long long line_number = 0;   // the line's number in its calendar, from 1
    // The match's tags as a CATEGORIES value (categories_of()); empty for its calendar's tag.
    std::string_view categories{};
};

// Makes the UIDs of one file, counting each calendar's match numbers as their lines come.
class IcsUids {
  public:
    // Appends to `out` the UID value of the next match numbered `number` in `source`'s calendar.
    // A match of an iCalendar file is known by its own event's UID instead (`source_uid`), so
    // that it stays one event wherever the feed moves it:
    // "<source UID>[.<occurrence>]-<file name>[-<identity>]@gironario", as 1.3.0 made it.
    void append(std::string& out, const IcsSource& source, std::string_view number,
                std::string_view source_uid = {});

    // Appends to `out` the UID value of `match`, the next of `source`'s calendar: by the match's
    // own identity where it has one, else as append() makes it from its number. For a match known
    // by its identity, the UID that 1.3.0 made (append()'s) is appended to `earlier`, and true
    // returned.
    bool append(std::string& out, std::string& earlier, const IcsSource& source,
                const MatchRecord& match);

    // The file name of `source`'s calendar without its copy mark (match_identity.hpp).
    const std::string& plain_name(const IcsSource& source);

    // The published calendar's identity that every UID carries; empty for none (as in 1.2.0).
    void set_identity(std::string_view identity) { identity_ = identity; }

  private:
    void append_end(std::string& out, const IcsSource& source) const;

    std::string identity_;
    // By calendar: how many lines with each number have been given a UID. It grows with the
    // different numbers of a calendar (hundreds), not with its lines.
    std::vector<std::unordered_map<std::string, std::uint32_t>> counts_;
    // Over the run: how many matches with each identity have been given a UID.
    std::unordered_map<std::string, std::uint32_t> identity_counts_;
    std::vector<std::string> plain_names_;  // by calendar: its file name without a copy mark
    std::string identity_of_match_;         // the match in hand's, kept for its capacity
    std::string earlier_form_;              // its UID as 1.3.0 made it, likewise
};

// A new published calendar's identity, 16 lowercase hexadecimal digits: random, or, when
// `source_date_epoch` is set and not empty (reproducible runs and tests), a hash of it and of
// `result_name`, so that the same run gives the same bytes.
std::string new_calendar_identity(const char* source_date_epoch, std::string_view result_name);

}  // namespace gironario
