#include "export/ics_changes.hpp"

#include <algorithm>
#include <cstdio>

namespace gironario {

namespace {

// "dd/mm/yyyy hh:mm" of a YYYYMMDDHHMM start.
std::string moment(long long start) {
    if (start < 0) {
        return "?";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02lld/%02lld/%04lld %02lld:%02lld", start / 10000 % 100,
                  start / 1000000 % 100, start / 100000000, start / 100 % 100, start % 100);
    return text;
}

// A text value of the file (UTF-8, escaped) as the console's Latin-1 text: escapes undone,
// characters past U+00FF shown as '?'.
std::string latin1_of(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte == '\\' && i + 1 < value.size()) {
            ++i;
            text += value[i] == 'n' || value[i] == 'N' ? ' ' : value[i];
        } else if (byte < 0x80) {
            text += value[i];
        } else if (byte >= 0xC0) {
            std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            const auto second =
                i + 1 < value.size() ? static_cast<unsigned char>(value[i + 1]) : 0u;
            if (length == 2 && byte <= 0xC3) {
                text += static_cast<char>((byte & 0x03u) << 6 | (second & 0x3Fu));
            } else {
                text += '?';
            }
            i += std::min(length, value.size() - i) - 1;
        }
    }
    return text;
}

// "1 gara cambiata" or "2 gare cambiate", and the like.
std::string count_of(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

}  // namespace

IcsChanges::IcsChanges(std::unique_ptr<PreviousCalendar> previous)
    : previous_(std::move(previous)) {}

IcsRevision IcsChanges::settle(const IcsEventState& event) {
    IcsStrings& strings = previous_->strings;
    const std::size_t index = previous_->find(event.uid);
    if (index == PreviousCalendar::npos) {
        changes_.push_back({Kind::added, strings.add(event.number), strings.add(event.file_name),
                            strings.add(event.place), event.start});
        return {};
    }
    PreviousEvent& before = previous_->events[index];
    before.seen = true;
    if (before.digest == event.digest) {
        return {before.sequence, strings[before.modified]};
    }
    const bool moved = before.start != event.start || strings[before.place] != event.place;
    changes_.push_back({moved ? Kind::moved : Kind::changed, static_cast<std::uint32_t>(index), 0,
                        strings.add(event.place), event.start});
    return {before.sequence + 1, {}};
}

std::string IcsChanges::line_of(const Change& change) const {
    const IcsStrings& strings = previous_->strings;
    if (change.kind == Kind::added) {
        return "nuova: gara " + std::string(strings[change.event]) + " (" +
               latin1_of(strings[change.file]) + "): " + moment(change.start) + ' ' +
               latin1_of(strings[change.place]);
    }
    const PreviousEvent& before = previous_->events[change.event];
    const std::string match = "gara " + std::string(strings[before.number]) + " (" +
                              latin1_of(strings[before.file]) + ")";
    const std::string now = moment(change.start) + ' ' + latin1_of(strings[change.place]);
    if (change.kind == Kind::moved) {
        return "spostata: " + match + ": dal " + moment(before.start) + ' ' +
               latin1_of(strings[before.place]) + " al " + now;
    }
    return "cambiata: " + match + " del " + now + " (squadre, descrizione o durata)";
}

void IcsChanges::report(const std::function<void(std::string_view)>& say) const {
    const auto& events = previous_->events;
    std::vector<std::uint32_t> gone;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!events[i].seen) {
            gone.push_back(static_cast<std::uint32_t>(i));
        }
    }
    std::stable_sort(gone.begin(), gone.end(), [&](std::uint32_t a, std::uint32_t b) {
        return events[a].start < events[b].start;
    });
    const auto added = static_cast<std::size_t>(std::count_if(
        changes_.begin(), changes_.end(), [](const Change& c) { return c.kind == Kind::added; }));
    say("Rispetto al calendario di prima: " +
        count_of(changes_.size() - added, "gara cambiata", "gare cambiate") + ", " +
        count_of(added, "nuova", "nuove") + ", " + count_of(gone.size(), "tolta", "tolte") + "\n");
    for (const Change& change : changes_) {
        say(line_of(change) + '\n');
    }
    const IcsStrings& strings = previous_->strings;
    for (const std::uint32_t index : gone) {
        const PreviousEvent& event = events[index];
        say("tolta: gara " + std::string(strings[event.number]) + " (" +
            latin1_of(strings[event.file]) + ") del " + moment(event.start) + '\n');
    }
}

}  // namespace gironario
