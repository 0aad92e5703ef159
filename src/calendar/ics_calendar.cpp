#include "calendar/ics_calendar.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/text.hpp"

namespace gironario {

namespace {

using namespace std::chrono;

// A moment as minutes since 1970-01-01 00:00 on some clock: UTC, or the wall clock of a zone.
using Minutes = long long;

constexpr Minutes DAY = 1440;
constexpr int FIRST_YEAR = 1;
constexpr int LAST_YEAR = 9999;

// The zones whose clocks have turned with Italy's ever since the rules were shared: their times
// are Italian times already. San Marino and the Vatican are Rome's by another name; Outlook names
// Central Europe by its own words.
constexpr std::array<std::string_view, 11> ITALIAN_CLOCK_ZONES = {
    "Europe/Rome",      "Europe/San_Marino", "Europe/Vatican",         "Europe/Berlin",
    "Europe/Paris",     "Europe/Madrid",     "Europe/Vienna",          "Europe/Zurich",
    "Europe/Amsterdam", "Europe/Brussels",   "W. Europe Standard Time"};

// Names that mean UTC, which some feeds write as a TZID without giving it a VTIMEZONE.
constexpr std::array<std::string_view, 5> UTC_ZONES = {"UTC", "Etc/UTC", "GMT", "Etc/GMT", "Z"};

std::string upper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

// `name` among `zones`, also as the last part of a path such as /mozilla.org/.../Europe/Rome.
template <std::size_t N>
bool names_one_of(std::string_view name, const std::array<std::string_view, N>& zones) {
    return std::any_of(zones.begin(), zones.end(), [name](std::string_view zone) {
        return same_ignoring_case(name, zone) ||
               (name.size() > zone.size() && name[name.size() - zone.size() - 1] == '/' &&
                same_ignoring_case(name.substr(name.size() - zone.size()), zone));
    });
}

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

Minutes floor_div(Minutes a, Minutes b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

Minutes minutes_of(sys_days day, Minutes minute_of_day) {
    return static_cast<Minutes>(day.time_since_epoch().count()) * DAY + minute_of_day;
}

sys_days day_of(Minutes moment) {
    return sys_days{days{static_cast<days::rep>(floor_div(moment, DAY))}};
}

int year_of(Minutes moment) {
    return static_cast<int>(year_month_day{day_of(moment)}.year());
}

// The day of a month that is its `week`-th `weekday` (0 Sunday), counted from the end when
// negative; nothing when the month has no such day.
std::optional<sys_days> weekday_of_month(int y, int m, int week, unsigned weekday) {
    const sys_days first{year{y} / month{static_cast<unsigned>(m)} / 1};
    const sys_days last{year{y} / month{static_cast<unsigned>(m)} / std::chrono::last};
    sys_days day;
    if (week > 0) {
        day = first + days{(weekday + 7 - std::chrono::weekday{first}.c_encoding()) % 7} +
              weeks{week - 1};
    } else {
        day = last - days{(std::chrono::weekday{last}.c_encoding() + 7 - weekday) % 7} +
              weeks{week + 1};
    }
    if (day < first || day > last) {
        return std::nullopt;
    }
    return day;
}

// The number of `text`, all of it digits and not empty; nothing otherwise.
std::optional<int> number(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// A DATE or DATE-TIME value, read to the minute.
struct Stamp {
    enum Kind { unreadable, date, date_time } kind = unreadable;
    Minutes minutes = 0;  // on its own clock
    bool utc = false;
};

Stamp read_stamp(std::string_view text) {
    text = trimmed(text);
    Stamp stamp;
    if (text.size() < 8) {
        return stamp;
    }
    const auto y = number(text.substr(0, 4));
    const auto m = number(text.substr(4, 2));
    const auto d = number(text.substr(6, 2));
    if (!y || !m || !d || *y < FIRST_YEAR) {
        return stamp;
    }
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)},
                              day{static_cast<unsigned>(*d)}};
    if (!date.ok()) {
        return stamp;
    }
    if (text.size() == 8) {
        stamp.kind = Stamp::date;
        stamp.minutes = minutes_of(sys_days{date}, 0);
        return stamp;
    }
    std::string_view time = text.substr(8);
    if (time.front() != 'T' && time.front() != 't') {
        return stamp;
    }
    time.remove_prefix(1);
    if (!time.empty() && (time.back() == 'Z' || time.back() == 'z')) {
        stamp.utc = true;
        time.remove_suffix(1);
    }
    if (time.size() != 4 && time.size() != 6) {
        return stamp;
    }
    const auto hour = number(time.substr(0, 2));
    const auto minute = number(time.substr(2, 2));
    // A leap second's 60 is written by some clocks; seconds are dropped anyway.
    const auto second = time.size() == 6 ? number(time.substr(4, 2)) : std::optional<int>{0};
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) {
        return stamp;
    }
    stamp.kind = Stamp::date_time;
    stamp.minutes = minutes_of(sys_days{date}, *hour * 60 + *minute);
    return stamp;
}

// A UTC offset such as +0100, -0500 or +053000, in minutes (seconds dropped).
std::optional<int> read_offset(std::string_view text) {
    text = trimmed(text);
    if (text.size() != 5 && text.size() != 7) {
        return std::nullopt;
    }
    if (text.front() != '+' && text.front() != '-') {
        return std::nullopt;
    }
    const auto hours = number(text.substr(1, 2));
    const auto minutes = number(text.substr(3, 2));
    if (!hours || !minutes || *hours > 23 || *minutes > 59 ||
        (text.size() == 7 && !number(text.substr(5, 2)))) {
        return std::nullopt;
    }
    const int offset = *hours * 60 + *minutes;
    return text.front() == '-' ? -offset : offset;
}

// The yearly rule of a time zone's observance, as real files write them: one month, and one
// weekday counted from the start or the end of it (2SU, -1SU), or a weekday among given days.
struct YearlyRule {
    int month = 0;  // 0: the month of the observance's start
    int week = 0;   // 0: the first `weekday` among month_days, or of the month
    int weekday = -1;
    std::vector<int> month_days;
    long long count = 0;  // 0: no end by count
    std::optional<Stamp> until;
};

std::optional<YearlyRule> read_rule(std::string_view text) {
    static constexpr std::array<std::string_view, 7> weekdays = {"SU", "MO", "TU", "WE",
                                                                 "TH", "FR", "SA"};
    YearlyRule rule;
    bool yearly = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t equals = part.find('=');
        if (equals == part.npos) {
            continue;
        }
        const std::string key = upper(trimmed(part.substr(0, equals)));
        std::string_view value = trimmed(part.substr(equals + 1));
        // Of a list, the first: a zone's rule names one month and one day.
        const std::string_view first = value.substr(0, std::min(value.find(','), value.size()));
        if (key == "FREQ") {
            yearly = same_ignoring_case(value, "YEARLY");
        } else if (key == "BYMONTH") {
            rule.month = number(first).value_or(0);
            if (rule.month > 12) {
                return std::nullopt;
            }
        } else if (key == "BYDAY" && first.size() >= 2) {
            const std::string day = upper(first.substr(first.size() - 2));
            const auto found = std::find(weekdays.begin(), weekdays.end(), day);
            std::string_view week = first.substr(0, first.size() - 2);
            const bool backwards = !week.empty() && week.front() == '-';
            if (found == weekdays.end()) {
                return std::nullopt;
            }
            rule.weekday = static_cast<int>(found - weekdays.begin());
            if (!week.empty() && (week.front() == '+' || backwards)) {
                week.remove_prefix(1);
            }
            if (!week.empty()) {
                const auto n = number(week);
                if (!n || *n < 1 || *n > 5) {
                    return std::nullopt;
                }
                rule.week = backwards ? -*n : *n;
            }
        } else if (key == "BYMONTHDAY") {
            while (!value.empty()) {
                const std::size_t comma = std::min(value.find(','), value.size());
                const auto day = number(trimmed(value.substr(0, comma)));
                if (day && *day >= 1 && *day <= 31) {
                    rule.month_days.push_back(*day);
                }
                value.remove_prefix(std::min(comma + 1, value.size()));
            }
            std::sort(rule.month_days.begin(), rule.month_days.end());
        } else if (key == "COUNT") {
            rule.count = number(value).value_or(0);
        } else if (key == "UNTIL") {
            rule.until = read_stamp(value);
            if (rule.until->kind == Stamp::unreadable) {
                return std::nullopt;
            }
        }
    }
    if (!yearly) {
        return std::nullopt;
    }
    return rule;
}

// A STANDARD or DAYLIGHT part of a VTIMEZONE: from its onsets on, clocks show UTC + `to`.
struct Observance {
    Minutes start = 0;  // its first onset, on the clock before it (UTC + `from`)
    int from = 0;
    int to = 0;
    std::optional<YearlyRule> rule;
    std::vector<Stamp> dates;  // RDATE
    bool has_start = false;
    bool has_from = false;
    bool has_to = false;
    bool bad_rule = false;
};

// The local time of the rule's onset in year `y`, if it has one that year.
std::optional<Minutes> onset_in(const Observance& observance, int y) {
    const YearlyRule& rule = *observance.rule;
    const year_month_day start{day_of(observance.start)};
    const int m = rule.month != 0 ? rule.month : static_cast<int>(unsigned{start.month()});
    std::optional<sys_days> day;
    if (rule.weekday >= 0 && rule.week != 0) {
        day = weekday_of_month(y, m, rule.week, static_cast<unsigned>(rule.weekday));
    } else {
        std::vector<int> candidates = rule.month_days;
        if (candidates.empty() && rule.weekday >= 0) {
            // The first of that weekday in the month.
            for (int d = 1; d <= 7; ++d) {
                candidates.push_back(d);
            }
        } else if (candidates.empty()) {
            candidates.push_back(static_cast<int>(unsigned{start.day()}));
        }
        for (const int d : candidates) {
            const year_month_day date{year{y}, month{static_cast<unsigned>(m)},
                                      std::chrono::day{static_cast<unsigned>(d)}};
            if (date.ok() && (rule.weekday < 0 || weekday{sys_days{date}}.c_encoding() ==
                                                      static_cast<unsigned>(rule.weekday))) {
                day = sys_days{date};
                break;
            }
        }
    }
    if (!day) {
        return std::nullopt;
    }
    const Minutes onset =
        minutes_of(*day, observance.start - floor_div(observance.start, DAY) * DAY);
    if (onset < observance.start ||
        (rule.count > 0 && y - static_cast<int>(start.year()) >= rule.count)) {
        return std::nullopt;
    }
    if (rule.until) {
        const Minutes limit =
            rule.until->kind == Stamp::date ? rule.until->minutes + DAY - 1 : rule.until->minutes;
        if ((rule.until->utc ? onset - observance.from : onset) > limit) {
            return std::nullopt;
        }
    }
    return onset;
}

// The latest onset of `observance` at or before `utc`, in UTC.
std::optional<Minutes> latest_onset(const Observance& observance, Minutes utc) {
    std::optional<Minutes> latest;
    const auto consider = [&](Minutes onset) {
        if (onset <= utc && (!latest || onset > *latest)) {
            latest = onset;
        }
    };
    consider(observance.start - observance.from);
    for (const Stamp& date : observance.dates) {
        consider(date.utc ? date.minutes : date.minutes - observance.from);
    }
    if (observance.rule) {
        const YearlyRule& rule = *observance.rule;
        const int first = year_of(observance.start);
        // From the year of `utc` or, for a rule that ended before it, from its last year; a few
        // years back is enough even when a weekday is missing from one year's month.
        int from = year_of(utc) + 1;
        if (rule.until) {
            from = std::min(from, year_of(rule.until->minutes) + 1);
        }
        if (rule.count > 0) {
            from = static_cast<int>(std::min<long long>(from, first + rule.count - 1));
        }
        for (int candidate = from; candidate >= std::max(first, from - 3); --candidate) {
            if (const auto onset = onset_in(observance, candidate)) {
                consider(*onset - observance.from);
            }
        }
    }
    return latest;
}

struct Zone {
    std::vector<Observance> observances;

    // The offset from UTC that the zone's clocks show at `utc`.
    int offset_at(Minutes utc) const {
        std::optional<Minutes> latest;
        int offset = 0;
        for (const Observance& observance : observances) {
            const auto onset = latest_onset(observance, utc);
            if (onset && (!latest || *onset >= *latest)) {
                latest = onset;
                offset = observance.to;
            }
        }
        if (!latest) {
            // Before every onset, the clock that the earliest one turns from.
            const auto earliest = std::min_element(
                observances.begin(), observances.end(),
                [](const auto& a, const auto& b) { return a.start - a.from < b.start - b.from; });
            offset = earliest->from;
        }
        return offset;
    }

    // The UTC moment of a wall-clock time. Of an hour shown twice, the first; an hour skipped
    // is read on the clock before the change.
    Minutes utc_of(Minutes local) const {
        std::set<int> offsets;
        for (const Observance& observance : observances) {
            offsets.insert(observance.from);
            offsets.insert(observance.to);
        }
        for (auto offset = offsets.rbegin(); offset != offsets.rend(); ++offset) {
            if (offset_at(local - *offset) == *offset) {
                return local - *offset;
            }
        }
        return local - offset_at(local - *offsets.rbegin());
    }
};

// Italy's clocks: CET, and CEST from the last Sunday of March to the last Sunday of October,
// changing at 01:00 UTC.
Minutes italian_time_of(Minutes utc) {
    const int y = year_of(utc);
    const auto change = [y](int m) { return minutes_of(*weekday_of_month(y, m, -1, 0), 60); };
    return utc + (utc >= change(3) && utc < change(10) ? 120 : 60);
}

// A content line, NAME;PARAMETERS:VALUE, as views into the unfolded line.
struct ContentLine {
    std::string name;  // in capitals
    std::string_view parameters;
    std::string_view value;
};

std::optional<ContentLine> read_content_line(std::string_view line) {
    const std::size_t name_end = std::min(line.find_first_of(";:"), line.size());
    std::size_t colon = name_end;
    bool quoted_text = false;
    // A quoted parameter value may hold ':' and ';'.
    while (colon < line.size() && (line[colon] != ':' || quoted_text)) {
        quoted_text ^= line[colon] == '"';
        ++colon;
    }
    if (colon >= line.size()) {
        return std::nullopt;
    }
    return ContentLine{upper(trimmed(line.substr(0, name_end))),
                       line.substr(name_end, colon - name_end), line.substr(colon + 1)};
}

// The value of parameter `name`, its case ignored, quotes taken off; nothing when absent.
std::optional<std::string_view> parameter(std::string_view parameters, std::string_view name) {
    while (!parameters.empty()) {
        parameters.remove_prefix(1);  // the ';'
        std::size_t end = 0;
        bool quoted_text = false;
        while (end < parameters.size() && (parameters[end] != ';' || quoted_text)) {
            quoted_text ^= parameters[end] == '"';
            ++end;
        }
        const std::string_view part = parameters.substr(0, end);
        parameters.remove_prefix(end);
        const std::size_t equals = part.find('=');
        if (equals != part.npos && same_ignoring_case(trimmed(part.substr(0, equals)), name)) {
            std::string_view value = trimmed(part.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return std::nullopt;
}

// A TEXT value with its escapes undone. A line break becomes a space, as does any other control
// character: a title or a place is written on one line of every format.
std::string text_of(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N') {
                c = ' ';
                ++i;
            } else if (next == '\\' || next == ',' || next == ';') {
                c = next;
                ++i;
            }
        }
        const auto byte = static_cast<unsigned char>(c);
        text += byte < 0x20 || byte == 0x7F ? ' ' : c;
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
        const auto content = read_content_line(line);
        if (!content) {
            return;
        }
        if (content->name == "BEGIN") {
            begin(upper(trimmed(content->value)), line_number);
        } else if (content->name == "END") {
            const std::string name = upper(trimmed(content->value));
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
    std::map<std::string, Zone, std::less<>> zones;

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
            zone_ = Zone{};
        } else if (in({"VCALENDAR", "VTIMEZONE", "STANDARD"}) ||
                   in({"VCALENDAR", "VTIMEZONE", "DAYLIGHT"})) {
            observance_ = Observance{};
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

    void take_event_property(const ContentLine& content) {
        const auto set_once = [&content](std::optional<std::string>& field) {
            if (!field) {
                field = text_of(content.value);
            }
        };
        if (content.name == "DTSTART" && !event_.start) {
            event_.start = std::string(content.value);
            event_.zone = parameter(content.parameters, "TZID").value_or("");
            event_.date_only =
                same_ignoring_case(parameter(content.parameters, "VALUE").value_or(""), "DATE");
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

    void take_observance_property(const ContentLine& content) {
        if (content.name == "DTSTART") {
            const Stamp start = read_stamp(content.value);
            observance_.has_start = start.kind != Stamp::unreadable;
            observance_.start = start.minutes;
        } else if (content.name == "TZOFFSETFROM" || content.name == "TZOFFSETTO") {
            const auto offset = read_offset(content.value);
            const bool from = content.name == "TZOFFSETFROM";
            (from ? observance_.has_from : observance_.has_to) = offset.has_value();
            (from ? observance_.from : observance_.to) = offset.value_or(0);
        } else if (content.name == "RRULE") {
            observance_.rule = read_rule(content.value);
            observance_.bad_rule = !observance_.rule;
        } else if (content.name == "RDATE") {
            std::string_view dates = content.value;
            while (!dates.empty()) {
                const std::size_t comma = std::min(dates.find(','), dates.size());
                // Of a PERIOD, its start.
                const std::string_view date = dates.substr(0, comma);
                const Stamp stamp =
                    read_stamp(date.substr(0, std::min(date.find('/'), date.size())));
                if (stamp.kind != Stamp::unreadable) {
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
    Zone zone_;
    Observance observance_;
};

// Feeds `bytes` to `reader` as unfolded content lines, each with the number of its first
// physical line.
void unfold(std::string_view bytes, Reader& reader) {
    std::string line;
    long long line_number = 0;
    long long first_line = 0;
    bool pending = false;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        std::string_view physical = bytes.substr(at, end - at);
        at = std::min(end + 1, bytes.size());
        ++line_number;
        if (physical.ends_with('\r')) {
            physical.remove_suffix(1);
        }
        if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
            line.append(physical.substr(1));
            continue;
        }
        if (pending) {
            reader.take(line, first_line);
        }
        line.assign(physical);
        first_line = line_number;
        pending = true;
    }
    if (pending) {
        reader.take(line, first_line);
    }
}

// The start of `event` in Italian time, or why it cannot be told. `zone_unknown` tells a time
// read as written for want of its TZID's VTIMEZONE.
std::optional<LocalTime> start_of(const Event& event, const Reader& reader, std::string& why,
                                  bool& zone_unknown) {
    if (!event.start) {
        why = "manca DTSTART: l'evento non ha una data";
        return std::nullopt;
    }
    const Stamp stamp = read_stamp(*event.start);
    if (stamp.kind == Stamp::date || (event.date_only && stamp.kind != Stamp::unreadable)) {
        why = "DTSTART ha la data ma non l'ora (evento di un giorno intero)";
        return std::nullopt;
    }
    if (stamp.kind == Stamp::unreadable) {
        why = "DTSTART " + quoted(*event.start) + " non \xE8 una data e un'ora che esistono";
        return std::nullopt;
    }
    Minutes local = stamp.minutes;
    const std::string_view zone_name = trimmed(event.zone);
    const auto zone = reader.zones.find(zone_name);
    if (stamp.utc) {
        local = italian_time_of(stamp.minutes);
    } else if (zone_name.empty() || names_one_of(zone_name, ITALIAN_CLOCK_ZONES)) {
        // Floating, or on Italy's clock already.
    } else if (zone != reader.zones.end()) {
        local = italian_time_of(zone->second.utc_of(stamp.minutes));
    } else if (names_one_of(zone_name, UTC_ZONES)) {
        local = italian_time_of(stamp.minutes);
    } else {
        zone_unknown = true;
    }
    const year_month_day date{day_of(local)};
    if (static_cast<int>(date.year()) < FIRST_YEAR || static_cast<int>(date.year()) > LAST_YEAR) {
        why = "DTSTART " + quoted(*event.start) + " in ora italiana cade fuori dagli anni 1-9999";
        return std::nullopt;
    }
    const Minutes minute_of_day = local - floor_div(local, DAY) * DAY;
    return LocalTime{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()}), static_cast<int>(minute_of_day / 60),
                     static_cast<int>(minute_of_day % 60)};
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
    unfold(bytes, reader);
    reader.finish();
    if (!reader.calendar_seen) {
        reading.error = "non \xE8 un calendario iCalendar (manca BEGIN:VCALENDAR)";
        return reading;
    }
    std::set<std::string, std::less<>> told_zones;
    long long position = 0;
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
