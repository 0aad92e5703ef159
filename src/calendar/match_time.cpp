#include "calendar/match_time.hpp"

#include <chrono>

namespace gironario {

namespace {

constexpr int LAST_YEAR = 9999;

}  // namespace

std::optional<LocalTime> add_minutes(const LocalTime& start, int minutes) {
    using namespace std::chrono;
    const sys_days start_day{year{start.year} / month{static_cast<unsigned>(start.month)} /
                             day{static_cast<unsigned>(start.day)}};
    const sys_time<std::chrono::minutes> end =
        start_day + hours{start.hour} + std::chrono::minutes{start.minute + minutes};
    const sys_days end_day = floor<days>(end);
    const year_month_day date{end_day};
    if (static_cast<int>(date.year()) > LAST_YEAR) {
        return std::nullopt;
    }
    const hh_mm_ss clock{end - end_day};
    return LocalTime{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()}),
                     static_cast<int>(clock.hours().count()),
                     static_cast<int>(clock.minutes().count())};
}

long long minute_number(const LocalTime& time) {
    using namespace std::chrono;
    const sys_days day{year{time.year} / month{static_cast<unsigned>(time.month)} /
                       std::chrono::day{static_cast<unsigned>(time.day)}};
    const sys_days first{year{1} / January / 1};
    return (day - first).count() * 1440LL + time.hour * 60LL + time.minute;
}

LocalTime local_time(long long minutes) {
    using namespace std::chrono;
    const sys_days first{year{1} / January / 1};
    const sys_days day = first + days{minutes / 1440};
    const year_month_day date{day};
    const auto in_day = static_cast<int>(minutes % 1440);
    return LocalTime{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()}), in_day / 60, in_day % 60};
}

}  // namespace gironario
