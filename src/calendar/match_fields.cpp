#include "calendar/match_fields.hpp"

#include <algorithm>
#include <chrono>

#include "calendar/calendar_line.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

std::string_view view(std::string_view::iterator begin, std::string_view::iterator end) {
    return begin < end ? std::string_view(&*begin, static_cast<std::size_t>(end - begin))
                       : std::string_view();
}

}  // namespace

std::string_view match_number(std::string_view line) {
    const auto end = std::find_if_not(line.begin(), line.end(), is_digit);
    return line.substr(0, static_cast<std::size_t>(end - line.begin()));
}

MatchDating read_match_fields(std::string_view line, int width, int year_digits,
                              MatchFields& fields) {
    if (!has_shape(line, width, year_digits)) {
        return MatchDating::bad_shape;
    }
    const std::optional<LocalTime> start = match_time(line, width, year_digits);
    if (!start) {
        return MatchDating::bad_date;
    }
    fields.start = *start;
    fields.number = match_number(line);
    const std::string_view after_time =
        line.substr(key_position(KEYS - 1, width, year_offset(year_digits)) + 1);
    const auto not_white = [](char c) { return !is_white(c); };
    const auto place_begin = std::find_if(after_time.begin(), after_time.end(), not_white);
    const auto place_end = std::find_if(place_begin, after_time.end(), is_white);
    const auto rest_begin = std::find_if(place_end, after_time.end(), not_white);
    const auto rest_end = std::find_if(after_time.rbegin(), after_time.rend(), not_white).base();
    fields.place = view(place_begin, place_end);
    fields.rest = view(rest_begin, rest_end);
    return MatchDating::dated;
}

std::string match_title(const MatchFields& fields, bool utf8) {
    std::string title;
    for (const std::string_view part : {fields.rest, fields.place}) {
        title.clear();
        append_plain_text(title, part, utf8);
        const std::size_t first = title.find_first_not_of(' ');
        if (first != std::string::npos) {
            return title.substr(first, title.find_last_not_of(' ') + 1 - first);
        }
    }
    return {};
}

long long minute_number(const LocalTime& time) {
    using namespace std::chrono;
    const sys_days day{year{time.year} / month{static_cast<unsigned>(time.month)} /
                       std::chrono::day{static_cast<unsigned>(time.day)}};
    const sys_days first{year{1} / January / 1};
    return (day - first).count() * 1440LL + time.hour * 60LL + time.minute;
}

}  // namespace gironario
