#pragma once

// The merged calendar as an iCalendar file (calendario.ics) that a phone calendar imports, or
// subscribes to: one event for each match line whose date and time exist, at the local time the
// line gives, in Europe/Rome or floating.
//
// Each event's UID follows its match (ics_uid.hpp), so that a newer file updates the events of an
// older one instead of adding to them. Written against the file it replaces (ics_changes.hpp),
// an event's SEQUENCE rises exactly when its content changes, as apps need to apply an update,
// and the event of a match that cannot be dated this time is kept as that file has it.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/match_record.hpp"
#include "export/ics_changes.hpp"
#include "export/ics_uid.hpp"
#include "export/ics_zone.hpp"
#include "io/line_writer.hpp"

namespace gironario {

// What an iCalendar file is written with.
struct IcsSettings {
    int duration_minutes = 120;  // how long a match lasts, 1 to 1440
    std::string dtstamp;         // the run's time in UTC, as ics_timestamp() writes it
    std::string version;         // gironario's version, named in PRODID
    IcsZone zone = IcsZone::europe_rome;
    std::string name = "calendario";  // the calendar's name in an app: NAME and X-WR-CALNAME
    // The published calendar's own identity (ics_uid.hpp), X-WR-RELCALID, carried by every UID;
    // empty for none, as in the files of 1.2.0.
    std::string identity = {};
};

// What became of a match: an event, or why it was left out of the file.
enum class EventOutcome {
    written,
    undated,   // its date and time cannot be read
    bad_date,  // that day, hour or minute does not exist
    bad_end,   // the match would end after the year 9999
};

// Writes an iCalendar file through `out`, in UTF-8 with CR LF line ends: begin(), then event()
// for every match line in the merged order, then end(). Memory grows with the longest line, not
// with the number of lines.
class IcsWriter {
  public:
    // With `changes`, the events are written against a previous file, and the changes noted there.
    IcsWriter(LineWriter& out, IcsSettings settings, IcsChanges* changes = nullptr);

    // Writes the calendar's head: BEGIN:VCALENDAR, VERSION, PRODID, its name, its identity, how
    // often a subscribed app looks again, and the time zone.
    void begin();

    // Writes the event of a match. The matches of each calendar come in its own order, every one
    // of them, so that each is counted for its UID. A match that is left out says why, and writes
    // nothing unless the previous file has its event, which is then written again as it was.
    EventOutcome event(const MatchRecord& match, const IcsSource& source);
    // A match not written, as an earlier calendar's record of it stands for it: counted all the
    // same, so that the UIDs of its calendar's later matches do not shift.
    void pass(const MatchRecord& match, const IcsSource& source);
    // Whether the latest match left out had its event written again as the previous file has it.
    bool kept_previous() const { return kept_previous_; }

    // Writes END:VCALENDAR.
    void end();

  private:
    // The event of a match whose day is known and whose time is not set yet: tentative, of that
    // whole day, under the UID it keeps once its time is set.
    void day_event(const MatchRecord& match, const IcsSource& source, std::uint64_t uid,
                   std::uint64_t renewed);
    // The lines every event begins with, BEGIN to DTSTAMP, its UID line made in content_.
    void begin_event();
    void put_line();
    // The lines every event ends with, CATEGORIES to END, its change settled on the way: `state`
    // without its digest and file name, which are taken from the lines written and `described`.
    void end_event(const IcsSource& source, IcsEventState state, std::string_view described,
                   bool name_utf8);
    // Puts the UID content line of `match` in content_ and returns its hash; `renewed` is given
    // the hash of the UID that 1.3.0 made for it where the previous file has that one instead,
    // else 0.
    std::uint64_t uid_line(const MatchRecord& match, const IcsSource& source,
                           std::uint64_t& renewed);
    // The file name that the DESCRIPTION of the latest match given a UID names: without its copy
    // mark for a match known by its identity, which a new download must not change.
    std::string_view described_file_name(const IcsSource& source);
    void put_text_line(std::string_view name, std::string_view bytes, bool utf8);

    LineWriter& out_;
    IcsSettings settings_;
    IcsChanges* changes_;
    IcsUids uids_;
    IcsDigest digest_;
    std::string content_;  // the content line being made, kept for its capacity
    bool kept_previous_ = false;
    // The latest UID line as 1.3.0 made it, and whether the match has an identity of its own.
    std::string earlier_;
    bool by_identity_ = false;
};

// The identity of a calendario.ics written against `changes`, the file it replaces: that file's,
// or none as in a file of 1.2.0; with no previous file, a new one (new_calendar_identity()).
std::string published_identity(const IcsChanges* changes, const char* source_date_epoch,
                               std::string_view result_name);

// The UTC date and time of `time` as DTSTAMP writes it, "YYYYMMDDTHHMMSSZ"; nothing for a time
// that the system cannot break down or that lies outside the years 0 to 9999.
std::optional<std::string> ics_timestamp(std::time_t time);

}  // namespace gironario
