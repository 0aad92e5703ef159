#include "calendar/ics_calendar.hpp"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calendar/ics_content.hpp"
#include "calendar/ics_zones.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// File text quoted in a notice, which is Latin-1: ASCII only, and short.
std::string quoted(std::string_view text) {
    constexpr std::size_t longest = 40;
    std::string result;
    for (const char c : text.substr(0, longest)) {
        const auto byte = static_cast<unsigned char>(c);
        result += byte >= 0x20 && byte < 0x7F ? c : '?';
    }
    if (text.size() > longest) {
        result += "...";
    }
    return result;
}

// A title or a place as every format writes it, on one line: a line break, or any other control
// character, is a space.
std::string one_line(std::string text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = ' ';
        }
    }
    return text;
}

// What a VEVENT gives, as read.
struct Event {
    long long line_number = 0;
    std::optional<std::string> start;  // DTSTART's value
    std::string zone;                  // its TZID
    bool date_only = false;            // VALUE=DATE
    std::optional<std::string> title;
    std::optional<std::string> place;
    std::optional<std::string> uid;
    bool cancelled = false;
    bool repeats = false;
};

// Takes the unfolded content lines one by one and keeps what the matches need: the events and
// the time zones. Components are followed on a stack of their names, so that any depth is read
// without recursion; one left open, or closed out of turn, is closed with those inside it.
class Reader {
  public:
    // Each event, as it ends.
    std::function<void(const Event&)> on_event;

    void take(std::string_view line, long long line_number) {
        const auto content = split_ics_content_line(line);
        if (!content) {
            return;
        }
        if (content->name == "BEGIN") {
            begin(ics_name_of(content->value), line_number);
        } else if (content->name == "END") {
            const std::string name = ics_name_of(content->value);
            if (open_.contains(name)) {
                while (stack_.back() != name) {
                    end();
                }
                end();
            }
        } else if (in({"VCALENDAR", "VEVENT"})) {
            take_event_property(*content);
        } else if (in({"VCALENDAR", "VTIMEZONE"}) && content->name == "TZID") {
            zone_id_ = trimmed(content->value);
        } else if (in({"VCALENDAR", "VTIMEZONE", "STANDARD"}) ||
                   in({"VCALENDAR", "VTIMEZONE", "DAYLIGHT"})) {
            take_observance_property(*content);
        }
    }

    void finish() {
        while (!stack_.empty()) {
            end();
        }
    }

    bool calendar_seen = false;
    IcsTimeZones zones;

  private:
    bool in(std::initializer_list<std::string_view> path) const {
        return std::equal(stack_.begin(), stack_.end(), path.begin(), path.end());
    }

    void begin(std::string name, long long line_number) {
        if (stack_.empty() && name == "VCALENDAR") {
            calendar_seen = true;
        }
        stack_.push_back(std::move(name));
        ++open_[stack_.back()];
        if (in({"VCALENDAR", "VEVENT"})) {
            event_ = Event{};
            event_.line_number = line_number;
        } else if (in({"VCALENDAR", "VTIMEZONE"})) {
            zone_id_.clear();
            zone_ = IcsTimeZone{};
        } else if (in({"VCALENDAR", "VTIMEZONE", "STANDARD"}) ||
                   in({"VCALENDAR", "VTIMEZONE", "DAYLIGHT"})) {
            observance_ = IcsObservance{};
        }
    }

    void end() {
        if (in({"VCALENDAR", "VEVENT"})) {
            if (on_event) {
                on_event(event_);
            }
        } else if (in({"VCALENDAR", "VTIMEZONE"})) {
            if (!zone_id_.empty() && !zone_.observances.empty()) {
                zones.emplace(zone_id_, std::move(zone_));
            }
        } else if (in({"VCALENDAR", "VTIMEZONE", "STANDARD"}) ||
                   in({"VCALENDAR", "VTIMEZONE", "DAYLIGHT"})) {
            if (observance_.has_start && observance_.has_to && !observance_.bad_rule) {
                if (!observance_.has_from) {
                    observance_.from = observance_.to;
                }
                zone_.observances.push_back(std::move(observance_));
            }
        }
        const auto open = open_.find(stack_.back());
        if (--open->second == 0) {
            open_.erase(open);
        }
        stack_.pop_back();
    }

    void take_event_property(const IcsContentLine& content) {
        const auto set_once = [&content](std::optional<std::string>& field) {
            if (!field) {
                field = one_line(unescaped_ics_text(content.value));
            }
        };
        if (content.name == "DTSTART" && !event_.start) {
            event_.start = std::string(content.value);
            event_.zone = ics_parameter(content.parameters, "TZID").value_or("");
            event_.date_only =
                same_ignoring_case(ics_parameter(content.parameters, "VALUE").value_or(""), "DATE");
        } else if (content.name == "SUMMARY") {
            set_once(event_.title);
        } else if (content.name == "LOCATION") {
            set_once(event_.place);
        } else if (content.name == "UID") {
            set_once(event_.uid);
        } else if (content.name == "STATUS") {
            event_.cancelled = same_ignoring_case(trimmed(content.value), "CANCELLED");
        } else if (content.name == "RRULE") {
            event_.repeats = true;
        }
    }

    void take_observance_property(const IcsContentLine& content) {
        if (content.name == "DTSTART") {
            const IcsStamp start = read_ics_stamp(content.value);
            observance_.has_start = start.kind != IcsStamp::unreadable;
            observance_.start = start.minutes;
        } else if (content.name == "TZOFFSETFROM" || content.name == "TZOFFSETTO") {
            const auto offset = read_ics_offset(content.value);
            const bool from = content.name == "TZOFFSETFROM";
            (from ? observance_.has_from : observance_.has_to) = offset.has_value();
            (from ? observance_.from : observance_.to) = offset.value_or(0);
        } else if (content.name == "RRULE") {
            observance_.rule = read_ics_rule(content.value);
            observance_.bad_rule = !observance_.rule;
        } else if (content.name == "RDATE") {
            std::string_view dates = content.value;
            while (!dates.empty()) {
                const std::size_t comma = std::min(dates.find(','), dates.size());
                // Of a PERIOD, its start.
                const std::string_view date = dates.substr(0, comma);
                const IcsStamp stamp =
                    read_ics_stamp(date.substr(0, std::min(date.find('/'), date.size())));
                if (stamp.kind != IcsStamp::unreadable) {
                    observance_.dates.push_back(stamp);
                }
                dates.remove_prefix(std::min(comma + 1, dates.size()));
            }
        }
    }

    std::vector<std::string> stack_;
    std::map<std::string, int, std::less<>> open_;  // how many of each name the stack holds
    Event event_;
    std::string zone_id_;
    IcsTimeZone zone_;
    IcsObservance observance_;
};

// The start of `event` in Italian time, or why it cannot be told. `zone_unknown` tells a time
// read as written for want of its TZID's VTIMEZONE.
std::optional<LocalTime> start_of(const Event& event, const Reader& reader, std::string& why,
                                  bool& zone_unknown) {
    if (!event.start) {
        why = "manca DTSTART: l'evento non ha una data";
        return std::nullopt;
    }
    const IcsStamp stamp = read_ics_stamp(*event.start);
    if (stamp.kind == IcsStamp::date || (event.date_only && stamp.kind != IcsStamp::unreadable)) {
        why = "DTSTART ha la data ma non l'ora (evento di un giorno intero)";
        return std::nullopt;
    }
    if (stamp.kind == IcsStamp::unreadable) {
        why = "DTSTART " + quoted(*event.start) + " non \xE8 una data e un'ora che esistono";
        return std::nullopt;
    }
    const auto start =
        local_time_of(italian_clock_of(stamp, event.zone, reader.zones, zone_unknown));
    if (!start) {
        why = "DTSTART " + quoted(*event.start) + " in ora italiana cade fuori dagli anni 1-9999";
    }
    return start;
}

// The day of an event of a whole day (a DTSTART that is a date alone); nothing for any other.
std::optional<LocalTime> day_of(const Event& event) {
    if (!event.start) {
        return std::nullopt;
    }
    const IcsStamp stamp = read_ics_stamp(*event.start);
    if (stamp.kind == IcsStamp::unreadable ||
        (stamp.kind == IcsStamp::date_time && !event.date_only)) {
        return std::nullopt;
    }
    // A date is midnight on its own clock, which no time zone moves.
    std::optional<LocalTime> day = local_time_of(stamp.minutes);
    if (day) {
        day->hour = 0;
        day->minute = 0;
    }
    return day;
}

}  // namespace

SourceReading read_ics(std::string_view bytes) {
    SourceReading reading;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    // The events are told once every zone is known: a file may give them after the events in
    // them.
    Reader reader;
    std::vector<Event> events;
    reader.on_event = [&events](const Event& event) { events.push_back(event); };
    for_each_ics_content_line(
        bytes, [&reader](std::string_view line, long long number) { reader.take(line, number); });
    reader.finish();
    if (!reader.calendar_seen) {
        reading.error = "non \xE8 un calendario iCalendar (manca BEGIN:VCALENDAR)";
        return reading;
    }
    std::set<std::string, std::less<>> told_zones;
    long long position = 0;
    // Room made once: a feed's records are not kept twice while they grow.
    reading.matches.reserve(events.size());
    for (const Event& event : events) {
        if (event.cancelled) {
            reading.notices.push_back(
                {event.line_number, "evento annullato (STATUS:CANCELLED): non viene letto"});
            continue;
        }
        MatchRecord& match = reading.matches.emplace_back();
        bool zone_unknown = false;
        match.line_number = event.line_number;
        if (const auto start = start_of(event, reader, match.unreadable, zone_unknown)) {
            set_row_start(match, *start);
        } else if (const auto day = day_of(event)) {
            match.at = *day;
            match.day_known = true;
            match.time_pending = true;
        }
        match.number = std::to_string(++position);
        match.place = event.place.value_or("");
        match.title = event.title && !event.title->empty() ? *event.title : match.place;
        match.uid = trimmed(event.uid.value_or(""));
        const std::string_view zone = trimmed(event.zone);
        // Once for each zone: every event in it is read the same way.
        if (zone_unknown && told_zones.insert(std::string(zone)).second) {
            reading.notices.push_back(
                {event.line_number, "fuso orario TZID=" + quoted(zone) +
                                        " senza VTIMEZONE nel file: le ore dei suoi eventi "
                                        "sono lette come sono scritte"});
        }
        if (event.repeats) {
            reading.notices.push_back({event.line_number,
                                       "evento che si ripete (RRULE): viene letta solo la "
                                       "prima volta, quella di DTSTART"});
        }
    }
    return reading;
}

}  // namespace gironario
