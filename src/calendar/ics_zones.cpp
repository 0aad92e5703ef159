#include "calendar/ics_zones.hpp"

#include <algorithm>
#include <array>
#include <chrono>
#include <set>

#include "calendar/ics_content.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

using namespace std::chrono;

constexpr IcsMinutes DAY = 1440;
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

// `name` among `zones`, also as the last part of a path such as /mozilla.org/.../Europe/Rome.
template <std::size_t N>
bool names_one_of(std::string_view name, const std::array<std::string_view, N>& zones) {
    return std::any_of(zones.begin(), zones.end(), [name](std::string_view zone) {
        return same_ignoring_case(name, zone) ||
               (name.size() > zone.size() && name[name.size() - zone.size() - 1] == '/' &&
                same_ignoring_case(name.substr(name.size() - zone.size()), zone));
    });
}

IcsMinutes floor_div(IcsMinutes a, IcsMinutes b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

IcsMinutes minutes_of(sys_days day, IcsMinutes minute_of_day) {
    return static_cast<IcsMinutes>(day.time_since_epoch().count()) * DAY + minute_of_day;
}

sys_days day_of(IcsMinutes moment) {
    return sys_days{days{static_cast<days::rep>(floor_div(moment, DAY))}};
}

int year_of(IcsMinutes moment) {
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

// The local time of the rule's onset in year `y`, if it has one that year.
std::optional<IcsMinutes> onset_in(const IcsObservance& observance, int y) {
    const IcsYearlyRule& rule = *observance.rule;
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
    const IcsMinutes onset =
        minutes_of(*day, observance.start - floor_div(observance.start, DAY) * DAY);
    if (onset < observance.start ||
        (rule.count > 0 && y - static_cast<int>(start.year()) >= rule.count)) {
        return std::nullopt;
    }
    if (rule.until) {
        const IcsMinutes limit = rule.until->kind == IcsStamp::date ? rule.until->minutes + DAY - 1
                                                                    : rule.until->minutes;
        if ((rule.until->utc ? onset - observance.from : onset) > limit) {
            return std::nullopt;
        }
    }
    return onset;
}

// The latest onset of `observance` at or before `utc`, in UTC.
std::optional<IcsMinutes> latest_onset(const IcsObservance& observance, IcsMinutes utc) {
    std::optional<IcsMinutes> latest;
    const auto consider = [&](IcsMinutes onset) {
        if (onset <= utc && (!latest || onset > *latest)) {
            latest = onset;
        }
    };
    consider(observance.start - observance.from);
    for (const IcsStamp& date : observance.dates) {
        consider(date.utc ? date.minutes : date.minutes - observance.from);
    }
    if (observance.rule) {
        const IcsYearlyRule& rule = *observance.rule;
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

}  // namespace

IcsStamp read_ics_stamp(std::string_view text) {
    text = trimmed(text);
    IcsStamp stamp;
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
        stamp.kind = IcsStamp::date;
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
    stamp.kind = IcsStamp::date_time;
    stamp.minutes = minutes_of(sys_days{date}, *hour * 60 + *minute);
    return stamp;
}

std::optional<int> read_ics_offset(std::string_view text) {
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

std::optional<IcsYearlyRule> read_ics_rule(std::string_view text) {
    static constexpr std::array<std::string_view, 7> weekdays = {"SU", "MO", "TU", "WE",
                                                                 "TH", "FR", "SA"};
    IcsYearlyRule rule;
    bool yearly = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view part = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const std::size_t equals = part.find('=');
        if (equals == part.npos) {
            continue;
        }
        const std::string key = ics_name_of(part.substr(0, equals));
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
            const std::string day = ics_name_of(first.substr(first.size() - 2));
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
            rule.until = read_ics_stamp(value);
            if (rule.until->kind == IcsStamp::unreadable) {
                return std::nullopt;
            }
        }
    }
    if (!yearly) {
        return std::nullopt;
    }
    return rule;
}

int IcsTimeZone::offset_at(IcsMinutes utc) const {
    std::optional<IcsMinutes> latest;
    int offset = 0;
    for (const IcsObservance& observance : observances) {
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

IcsMinutes IcsTimeZone::utc_of(IcsMinutes local) const {
    std::set<int> offsets;
    for (const IcsObservance& observance : observances) {
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

// Italy's clocks: CET, and CEST from the last Sunday of March to the last Sunday of October,
// changing at 01:00 UTC.
IcsMinutes italian_time_of(IcsMinutes utc) {
    const int y = year_of(utc);
    const auto change = [y](int m) { return minutes_of(*weekday_of_month(y, m, -1, 0), 60); };
    return utc + (utc >= change(3) && utc < change(10) ? 120 : 60);
}

IcsMinutes italian_clock_of(const IcsStamp& stamp, std::string_view zone_name,
                            const IcsTimeZones& zones, bool& zone_unknown) {
    zone_name = trimmed(zone_name);
    const auto zone = zones.find(zone_name);
    if (stamp.utc) {
        return italian_time_of(stamp.minutes);
    }
    if (zone_name.empty() || names_one_of(zone_name, ITALIAN_CLOCK_ZONES)) {
        return stamp.minutes;  // floating, or on Italy's clock already
    }
    if (zone != zones.end()) {
        return italian_time_of(zone->second.utc_of(stamp.minutes));
    }
    if (names_one_of(zone_name, UTC_ZONES)) {
        return italian_time_of(stamp.minutes);
    }
    zone_unknown = true;
    return stamp.minutes;
}

std::optional<LocalTime> local_time_of(IcsMinutes moment) {
    const year_month_day date{day_of(moment)};
    if (static_cast<int>(date.year()) < FIRST_YEAR || static_cast<int>(date.year()) > LAST_YEAR) {
        return std::nullopt;
    }
    const IcsMinutes minute_of_day = moment - floor_div(moment, DAY) * DAY;
    return LocalTime{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()}), static_cast<int>(minute_of_day / 60),
                     static_cast<int>(minute_of_day % 60)};
}

}  // namespace gironario
