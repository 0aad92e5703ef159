#pragma once

// An iCalendar file written against the one it replaces: each event's SEQUENCE and LAST-MODIFIED
// follow from the previous file, and what changed is told in a list for the families.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/ics_previous.hpp"

namespace gironario {

// How many changes the report lists; the rest are only counted.
inline constexpr std::size_t SHOWN_CHANGES = 20;

// An event's SEQUENCE, and its LAST-MODIFIED: the previous one, or empty for the run's time.
struct IcsRevision {
    std::uint32_t sequence = 0;
    std::string_view last_modified;
};

// What an event of the new file is to be compared on.
struct IcsEventState {
    std::uint64_t uid = 0;       // ics_hash() of its UID content line
    std::uint64_t digest = 0;    // IcsDigest::value() of its content lines
    long long start = 0;         // YYYYMMDDHHMM
    std::string_view place;      // LOCATION's value as written
    std::string_view number;     // the match number as written
    std::string_view file_name;  // its calendar's, as a text value
    // Of an event whose UID changes this once, as 1.3.0 knew it by its row: ics_hash() of the UID
    // line it had then; 0 for any other.
    std::uint64_t renewed = 0;
};

class IcsChanges {
  public:
    explicit IcsChanges(std::unique_ptr<PreviousCalendar> previous);

    // An event of the new file, in the order written: SEQUENCE 0 when its UID is new, the
    // previous one when its content is the same, one more when it changed.
    IcsRevision settle(const IcsEventState& event);

    // A match that cannot be dated this time, whose UID content line hashes to `uid`: the lines
    // of its event in the previous file, to be written again as they are, or nothing when the
    // previous file has no such event. A kept event is not gone, and the list tells it apart.
    std::string_view keep(std::uint64_t uid);

    // Whether the previous file has an event whose UID content line hashes to `uid`.
    bool knows(std::uint64_t uid) const { return previous_->find(uid) != PreviousCalendar::npos; }

    // The previous file's calendar identity (X-WR-RELCALID), to be kept; empty when it has none.
    const std::string& identity() const { return previous_->identity; }

    // The list of changes, each line whole and in Latin-1, to `say`: the counts (changed, new,
    // removed), the events whose UID changed once from 1.3.0's in one line, then one line for
    // each changed or new event in the order written, one for each
    // event kept as it was, and one for each event that is gone, by its start.
    void report(const std::function<void(std::string_view)>& say) const;

  private:
    enum class Kind : std::uint8_t { moved, changed, added };
    struct Change {
        Kind kind;
        std::uint32_t event;  // in previous_->events; for `added`, its ics_match_label() in strings
        std::uint32_t place;
        long long start;
    };

    std::string line_of(const Change& change) const;

    std::unique_ptr<PreviousCalendar> previous_;
    std::vector<Change> changes_;
    std::vector<std::uint32_t> kept_;  // in previous_->events, in the order written
    std::size_t renewed_ = 0;          // events whose UID changed from 1.3.0's, told as one
};

}  // namespace gironario
