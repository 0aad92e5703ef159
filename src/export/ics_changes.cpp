#include "export/ics_changes.hpp"

#include "io/message.hpp"

#include <algorithm>

#include "calendar/match_record.hpp"
#include "export/ics_text.hpp"

namespace gironario {

namespace {

// "dd/mm/yyyy hh:mm" of a YYYYMMDDHHMM start; of a whole day's, its date and that its time is
// not set yet.
std::string moment(long long start) {
    if (start < 0) {
        return "?";
    }
    const auto part = [&](long long divisor, long long modulo) {
        return static_cast<int>(start / divisor % modulo);
    };
    std::string text;
    const LocalTime time{part(100000000, 100000), part(1000000, 100), part(10000, 100),
                         part(100, 100), part(1, 100)};
    if (start % 10000 == ICS_WHOLE_DAY) {
        append_date(text, time);
        text += " ora da definire";
        return text;
    }
    append_date_time(text, time);
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
        // 1.3.0's event of the match is replaced by this one, not gone: one line tells them all.
        if (const std::size_t earlier =
                event.renewed != 0 ? previous_->find(event.renewed) : PreviousCalendar::npos;
            earlier != PreviousCalendar::npos && !previous_->events[earlier].seen()) {
            previous_->events[earlier].set_seen();
            ++renewed_;
            return {};
        }
        changes_.push_back({Kind::added,
                            strings.add(ics_match_label(event.number, event.file_name)),
                            strings.add(event.place), event.start});
        return {};
    }
    PreviousEvent& before = previous_->events[index];
    before.set_seen();
    if (before.digest == event.digest) {
        return {before.sequence(), strings[before.modified]};
    }
    const bool moved = before.start != event.start || strings[before.place] != event.place;
    changes_.push_back({moved ? Kind::moved : Kind::changed, static_cast<std::uint32_t>(index),
                        strings.add(event.place), event.start});
    return {before.sequence() + 1, {}};
}

std::string_view IcsChanges::keep(std::uint64_t uid) {
    const std::size_t index = previous_->find(uid);
    if (index == PreviousCalendar::npos) {
        return {};
    }
    PreviousEvent& before = previous_->events[index];
    const std::string_view lines = previous_->lines_of(before);
    if (before.seen() || lines.empty()) {
        return {};
    }
    before.set_seen();
    kept_.push_back(static_cast<std::uint32_t>(index));
    return lines;
}

std::string IcsChanges::line_of(const Change& change) const {
    const IcsStrings& strings = previous_->strings;
    if (change.kind == Kind::added) {
        return "nuova: gara " + std::string(strings[change.event]) + ": " + moment(change.start) +
               ' ' + latin1_of_text_value(strings[change.place]);
    }
    const PreviousEvent& before = previous_->events[change.event];
    const std::string match = "gara " + std::string(strings[before.match]);
    const std::string now =
        moment(change.start) + ' ' + latin1_of_text_value(strings[change.place]);
    if (change.kind == Kind::moved) {
        return "spostata: " + match + ": dal " + moment(before.start) + ' ' +
               latin1_of_text_value(strings[before.place]) + " al " + now;
    }
    return "cambiata: " + match + " del " + now + " (squadre, descrizione o durata)";
}

void IcsChanges::report(const std::function<void(std::string_view)>& say) const {
    const auto& events = previous_->events;
    std::vector<std::uint32_t> gone;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (!events[i].seen()) {
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
    if (renewed_ > 0) {
        say(renewed_ == 1 ? std::string("1 gara ora \xE8 nota dal suo codice: il suo UID cambia "
                                        "questa volta sola\n")
                          : std::to_string(renewed_) +
                                " gare ora sono note dal loro codice: il loro UID cambia questa "
                                "volta sola\n");
    }
    // The first few, as a cron mail is read; the counts above are whole.
    std::size_t told = 0;
    const auto tell = [&](const std::string& line) {
        if (told++ < SHOWN_CHANGES) {
            say(line + '\n');
        }
    };
    for (const Change& change : changes_) {
        tell(line_of(change));
    }
    const IcsStrings& strings = previous_->strings;
    for (const std::uint32_t index : kept_) {
        tell("non letta: gara " + std::string(strings[events[index].match]) + " resta com'era");
    }
    for (const std::uint32_t index : gone) {
        const PreviousEvent& event = events[index];
        tell("tolta: gara " + std::string(strings[event.match]) + " del " + moment(event.start));
    }
    if (told > SHOWN_CHANGES) {
        say(more_not_listed(static_cast<long long>(told - SHOWN_CHANGES), "modifica", "modifiche") +
            '\n');
    }
}

}  // namespace gironario
