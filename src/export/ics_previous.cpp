#include "export/ics_previous.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "calendar/ics_content.hpp"
#include "export/ics_text.hpp"

namespace gironario {

namespace {

// How much of an unfolded content line is kept to be read: more than any value that is read
// (a place, a description, a time) needs, so that a longer line costs no memory; the rest is
// hashed.
constexpr std::size_t KEPT_OCTETS = 1024;

constexpr std::string_view our_prodid = "-//Polisportiva Lorvane//gironario ";

// YYYYMMDDTHHMM at the start of a DATE-TIME value, as one number, or a DATE as ics_day_start()
// gives it; -1 when it is neither.
long long start_of(std::string_view value) {
    if (value.size() == 8 && value.find_first_not_of("0123456789") == std::string_view::npos) {
        // A DATE: an event of a whole day.
        const auto part = [&](std::size_t at, std::size_t length) {
            int number = 0;
            for (const char c : value.substr(at, length)) {
                number = number * 10 + (c - '0');
            }
            return number;
        };
        return ics_day_start(part(0, 4), part(4, 2), part(6, 2));
    }
    if (value.size() < 13 || value[8] != 'T') {
        return -1;
    }
    long long number = 0;
    for (std::size_t i = 0; i < 13; ++i) {
        if (i == 8) {
            continue;
        }
        if (value[i] < '0' || value[i] > '9') {
            return -1;
        }
        number = number * 10 + (value[i] - '0');
    }
    return number;
}

std::optional<std::uint32_t> sequence_of(std::string_view value) {
    if (value.empty() || value.size() > 9 ||
        value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (const char c : value) {
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return number;
}

// The match that a DESCRIPTION "Gara <number>\, <file name>" names, as ics_match_label() does;
// any other description as it is.
std::string match_of(std::string_view description) {
    constexpr std::string_view gara = "Gara ";
    const std::size_t comma = description.find("\\, ");
    if (!description.starts_with(gara) || comma == std::string_view::npos) {
        return latin1_of_text_value(description);
    }
    return ics_match_label(description.substr(gara.size(), comma - gara.size()),
                           description.substr(comma + 3));
}

class Reader {
  public:
    PreviousReading read(LineReader& lines) {
        auto calendar = std::make_unique<PreviousCalendar>();
        calendar_ = calendar.get();
        calendar_->strings.add("");  // 0: what an event without that property holds
        long long number = 0;
        while (lines.next()) {
            ++number;
            const std::string_view line = lines.line();
            // Every line of ours ends with CR LF and is 75 octets at most.
            if (line.size() > LineReader::default_capacity || !line.ends_with('\r')) {
                return failed(number);
            }
            const bool continued = IcsUnfolder::continues(line);
            if (continued && !unfolder_.open()) {
                return failed(number);
            }
            if (unfolder_.ends_line(line) && !take_line()) {
                return failed(number - 1);
            }
            unfolder_.take(line);
            hash_ = ics_hash(unfolder_.piece(), continued ? hash_ : ics_hash_basis);
            if (!continued) {
                written_.clear();
            }
            written_.append(line).append(1, '\n');
        }
        if (lines.failed()) {
            return {nullptr, "non si legge (errore di lettura)"};
        }
        if (unfolder_.open() && !take_line()) {
            return failed(number);
        }
        if (!ours_) {
            return {nullptr, "non \xE8 un calendario scritto da gironario"};
        }
        if (!ended_) {
            return {nullptr, "\xE8 incompleto: finisce prima di END:VCALENDAR"};
        }
        auto& events = calendar_->events;
        std::sort(events.begin(), events.end(),
                  [](const PreviousEvent& a, const PreviousEvent& b) { return a.uid < b.uid; });
        const auto twice = std::adjacent_find(
            events.begin(), events.end(),
            [](const PreviousEvent& a, const PreviousEvent& b) { return a.uid == b.uid; });
        if (twice != events.end()) {
            return {nullptr, "ha due gare con lo stesso UID"};
        }
        return {std::move(calendar), {}};
    }

  private:
    PreviousReading failed(long long number) {
        // A file that does not start as a calendar of ours is not ours; one that does and then
        // goes wrong is ours, spoilt.
        if (!begun_ || !ours_) {
            return {nullptr, "non \xE8 un calendario scritto da gironario"};
        }
        return {nullptr, "\xE8 incompleto o rovinato alla riga " + std::to_string(number)};
    }

    // Takes the content line just unfolded, and keeps it as written when it is an event's;
    // false when it cannot stand where it is.
    bool take_line() {
        const bool was_in_event = in_event_;
        if (!take_content_line()) {
            return false;
        }
        if (!in_event_ && !was_in_event) {
            return true;
        }
        std::string& kept = calendar_->lines;
        if (!was_in_event) {
            event_begin_ = kept.size();
        }
        // An event's offsets are 32 bits: the lines past 4 GiB are not kept.
        if (keeping_ && kept.size() + written_.size() > UINT32_MAX) {
            keeping_ = false;
        }
        if (keeping_) {
            kept += written_;
        }
        if (!in_event_ && keeping_) {
            PreviousEvent& event = calendar_->events.back();
            event.lines_begin = static_cast<std::uint32_t>(event_begin_);
            event.lines_size = static_cast<std::uint32_t>(kept.size() - event_begin_);
        }
        return true;
    }

    bool take_content_line() {
        const std::optional<IcsContentLine> content = split_ics_content_line(unfolder_.line());
        if (!content || ended_) {
            return false;
        }
        // A name is ours only as gironario writes it, in capitals with nothing around it; any
        // other is a property that nothing here reads.
        const std::string_view name =
            content->written_name == content->name ? content->written_name : std::string_view();
        const std::string_view value = content->value;
        if (!begun_) {
            begun_ = name == "BEGIN" && value == "VCALENDAR";
            return begun_;
        }
        if (name == "BEGIN") {
            // Our PRODID comes first: another program's events are not even read.
            if (!ours_) {
                return false;
            }
            if (value == "VEVENT") {
                if (depth_ != 0) {
                    return false;
                }
                event_ = {};
                digest_ = {};
                has_uid_ = false;
                in_event_ = true;
            }
            ++depth_;
            return true;
        }
        if (name == "END") {
            if (depth_ == 0) {
                ended_ = value == "VCALENDAR";
                return ended_;
            }
            --depth_;
            if (value == "VEVENT") {
                if (!in_event_ || depth_ != 0 || !has_uid_) {
                    return false;
                }
                in_event_ = false;
                event_.digest = digest_.value();
                calendar_->events.push_back(event_);
            }
            return true;
        }
        if (depth_ == 0) {
            if (name == "PRODID") {
                ours_ = value.starts_with(our_prodid);
            } else if (name == "X-WR-RELCALID") {
                // Written into every UID as it is: only an identity such as ours.
                if (!ours_ || value.empty() || value.size() > 64 ||
                    value.find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"
                                            "ABCDEFGHIJKLMNOPQRSTUVWXYZ-") != std::string::npos) {
                    return false;
                }
                calendar_->identity = value;
            }
            return true;
        }
        if (!in_event_ || depth_ != 1) {
            return true;  // a component of its own, such as the time zone
        }
        if (const int part = IcsDigest::part_of(name); part >= 0) {
            digest_.set(part, hash_);
        }
        if (name == "UID") {
            event_.uid = hash_;
            has_uid_ = true;
        } else if (name == "SEQUENCE") {
            const std::optional<std::uint32_t> sequence = sequence_of(value);
            if (!sequence) {
                return false;
            }
            event_.set_sequence(*sequence);
        } else if (name == "LAST-MODIFIED") {
            event_.modified = calendar_->strings.add(value);
        } else if (name == "DTSTART") {
            event_.start = start_of(value);
        } else if (name == "LOCATION") {
            event_.place = calendar_->strings.add(value);
        } else if (name == "DESCRIPTION") {
            event_.match = calendar_->strings.add(match_of(value));
        }
        return true;
    }

    PreviousCalendar* calendar_ = nullptr;
    IcsUnfolder unfolder_{KEPT_OCTETS};
    std::uint64_t hash_ = ics_hash_basis;  // of the whole content line that unfolder_ holds
    std::string written_;  // the physical lines of that content line, each with its CR LF
    std::size_t event_begin_ = 0;
    bool keeping_ = true;
    PreviousEvent event_;
    IcsDigest digest_;
    bool has_uid_ = false;
    bool in_event_ = false;
    int depth_ = 0;  // components open inside VCALENDAR
    bool begun_ = false;
    bool ended_ = false;
    bool ours_ = false;
};

}  // namespace

std::uint64_t ics_hash(std::string_view bytes, std::uint64_t hash) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3u;
    }
    return hash;
}

int IcsDigest::part_of(std::string_view name) {
    static constexpr std::array<std::string_view, 5> names = {"DTSTART", "DTEND", "SUMMARY",
                                                              "LOCATION", "DESCRIPTION"};
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

std::uint64_t IcsDigest::value() const {
    std::uint64_t digest = ics_hash_basis;
    for (const std::uint64_t part : parts_) {
        for (int shift = 0; shift < 64; shift += 8) {
            digest ^= (part >> shift) & 0xFFu;
            digest *= 0x100000001B3u;
        }
    }
    return digest;
}

std::uint32_t IcsStrings::add(std::string_view text) {
    if (const auto found = index_.find(text); found != index_.end()) {
        return found->second;
    }
    const auto index = static_cast<std::uint32_t>(texts_.size());
    const std::string& kept = texts_.emplace_back(text);
    index_.emplace(kept, index);
    return index;
}

std::size_t PreviousCalendar::find(std::uint64_t uid) const {
    const auto found = std::lower_bound(
        events.begin(), events.end(), uid,
        [](const PreviousEvent& event, std::uint64_t key) { return event.uid < key; });
    return found != events.end() && found->uid == uid
               ? static_cast<std::size_t>(found - events.begin())
               : npos;
}

std::string ics_match_label(std::string_view number, std::string_view file_name) {
    std::string label(number);
    label += " (";
    label += latin1_of_text_value(file_name);
    label += ')';
    return label;
}

PreviousReading read_previous_calendar(LineReader& lines) {
    return Reader().read(lines);
}

}  // namespace gironario
