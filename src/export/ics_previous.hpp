#pragma once

// The calendario.ics that a run replaces, read for what the new file is written against: each
// event's UID, SEQUENCE and LAST-MODIFIED, a digest of its content, what the list of changes
// tells of a match that moved or went, and its lines as they are, for an event to be kept as it
// was; and the calendar's identity. Only a file that gironario wrote, and whole, is taken.

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "io/line_reader.hpp"

namespace gironario {

inline constexpr std::uint64_t ics_hash_basis = 0xCBF29CE484222325u;

// The 64-bit FNV-1a hash of `bytes`, going on from `hash`: a text hashed in pieces hashes as
// the whole.
std::uint64_t ics_hash(std::string_view bytes, std::uint64_t hash = ics_hash_basis);

// What tells whether an event changed: its DTSTART, DTEND (so its time zone too), SUMMARY,
// LOCATION and DESCRIPTION, each the hash of its whole unfolded content line.
class IcsDigest {
  public:
    // The part of the digest that the property `name` makes, or -1 for one that it leaves out.
    static int part_of(std::string_view name);

    void set(int part, std::uint64_t line_hash) {
        parts_[static_cast<std::size_t>(part)] = line_hash;
    }
    std::uint64_t value() const;

  private:
    std::array<std::uint64_t, 5> parts_{};
};

// Texts that many events share (places, file names, numbers, times of a run), held once.
class IcsStrings {
  public:
    std::uint32_t add(std::string_view text);
    std::string_view operator[](std::uint32_t index) const { return texts_[index]; }

  private:
    std::deque<std::string> texts_;  // a deque, so that the views in index_ stay put
    std::unordered_map<std::string_view, std::uint32_t> index_;
};

// The start of an event of a whole day as the events' starts are compared, YYYYMMDD2400: after
// every time of its day, and told as the day alone (its hour 24 being no hour).
inline constexpr long long ICS_WHOLE_DAY = 2400;
inline long long ics_day_start(int year, int month, int day) {
    return ((year * 100LL + month) * 100 + day) * 10000 + ICS_WHOLE_DAY;
}

// How the list of changes names a match, in Latin-1: "12 (u17.txt)", from its number and its
// calendar's file name as a text value.
std::string ics_match_label(std::string_view number, std::string_view file_name);

// One event of the previous file: forty-eight bytes, and its lines in PreviousCalendar::lines.
struct PreviousEvent {
    std::uint64_t uid = 0;       // ics_hash() of its UID content line
    std::uint64_t digest = 0;    // IcsDigest::value()
    long long start = -1;        // DTSTART as YYYYMMDDHHMM, -1 when it is not a date and time
    std::uint32_t modified = 0;  // LAST-MODIFIED's value, in strings ("" when there was none)
    std::uint32_t place = 0;     // LOCATION's value as written, escapes and all
    std::uint32_t match = 0;     // the match its DESCRIPTION names, as ics_match_label() does
    std::uint32_t state = 0;     // its SEQUENCE (under 10^9), and in bit 0 whether it is seen
    // Where its lines are in PreviousCalendar::lines, BEGIN:VEVENT to END:VEVENT with their
    // CR LF; none (0, 0) when they were past what is kept.
    std::uint32_t lines_begin = 0;
    std::uint32_t lines_size = 0;

    std::uint32_t sequence() const { return state >> 1; }
    // Whether the new file has it too.
    bool seen() const { return (state & 1u) != 0; }
    void set_sequence(std::uint32_t sequence) { state = sequence << 1 | (state & 1u); }
    void set_seen() { state |= 1u; }
};

// The events of a previous file, found by UID.
struct PreviousCalendar {
    IcsStrings strings;
    std::deque<PreviousEvent> events;  // by uid, once read
    std::string lines;                 // the events' lines as the file has them, one after another
    // X-WR-RELCALID, the published calendar's identity that its UIDs carry; empty in a file of
    // 1.2.0, which has none.
    std::string identity;

    // The lines of `event` as the file has them; empty when they were not kept.
    std::string_view lines_of(const PreviousEvent& event) const {
        return std::string_view(lines).substr(event.lines_begin, event.lines_size);
    }

    // The index of the event whose UID content line hashes to `uid`; npos when there is none.
    std::size_t find(std::uint64_t uid) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
};

// A previous file read: its events, or, for a file that gironario did not write or that cannot be
// read whole, why it is not used (Latin-1 text).
struct PreviousReading {
    std::unique_ptr<PreviousCalendar> calendar;
    std::string problem;
};

// Reads a previous calendario.ics through a buffer of 77 bytes at least (a content line of 75
// octets and its CR LF: a longer line is not one of ours). Memory grows with its events and their
// lines (up to 4 GiB of them are kept), never with the length of a line.
PreviousReading read_previous_calendar(LineReader& lines);

}  // namespace gironario
