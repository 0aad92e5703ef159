#include "calendar/match_record.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#include "calendar/calendar_line.hpp"
#include "calendar/source_match.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

void append_two_digits(std::string& text, int value) {
    text.push_back(static_cast<char>('0' + value / 10 % 10));
    text.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

namespace {

// Where the place that starts at or after `from` ends, and `from` moved to where it starts.
std::size_t place_end(std::string_view line, std::size_t& from) {
    while (from < line.size() && is_white(line[from])) {
        ++from;
    }
    std::size_t end = from;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time up to the first that may be white.
        while (line.size() - end >= 8) {
            std::uint64_t word;
            std::memcpy(&word, line.data() + end, sizeof word);
            const std::size_t low = first_byte_up_to_space(word);
            end += low;
            if (low < 8) {
                break;
            }
        }
    }
    while (end < line.size() && !is_white(line[end])) {
        ++end;
    }
    return end;
}

}  // namespace

std::string_view place_of(const MatchRecord& match) {
    if (match.words) {
        return match.place;
    }
    std::size_t from = match.place_from;
    if (from >= match.line.size()) {
        return {};
    }
    const std::size_t end = place_end(match.line, from);
    return match.line.substr(from, end - from);
}

MatchWords words_of(const MatchRecord& match) {
    if (match.words) {
        return {match.number, match.place, match.title};
    }
    const std::string_view line = match.line;
    MatchWords words;
    const auto digits = std::find_if_not(line.begin(), line.end(), is_digit);
    words.number = line.substr(0, static_cast<std::size_t>(digits - line.begin()));
    std::size_t from = match.place_from;
    if (from >= line.size()) {
        return words;
    }
    const std::size_t end = place_end(line, from);
    words.place = line.substr(from, end - from);
    words.title = trimmed(line.substr(end));
    return words;
}

std::string match_title(const MatchWords& words, bool utf8) {
    std::string title;
    for (const std::string_view part : {words.title, words.place}) {
        title.clear();
        append_plain_text(title, part, utf8);
        const std::size_t first = title.find_first_not_of(' ');
        if (first != std::string::npos) {
            return title.substr(first, title.find_last_not_of(' ') + 1 - first);
        }
    }
    return {};
}

void append_date(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.day);
    text.push_back('/');
    append_two_digits(text, time.month);
    text.push_back('/');
    append_two_digits(text, time.year / 100);
    append_two_digits(text, time.year);
}

void append_clock(std::string& text, const LocalTime& time) {
    append_two_digits(text, time.hour);
    text.push_back(':');
    append_two_digits(text, time.minute);
}

void append_date_time(std::string& text, const LocalTime& time) {
    append_date(text, time);
    text.push_back(' ');
    append_clock(text, time);
}

std::string left_out_reason(LeftOut why, const MatchRecord& match, std::string_view where,
                            const MessageText& text) {
    std::string reason;
    text.own(reason, "gara ");
    text.foreign(reason, words_of(match).number);
    if (match.dating == Dating::unreadable && match.source != nullptr) {
        text.own(reason, ": ");
        text.own(reason, match.source->unreadable);
    } else if (why == LeftOut::unreadable || match.dating == Dating::bad_shape) {
        text.own(reason, ": data e ora non leggibili");
    } else {
        // The date and time as the line writes them, which may be no day at all: digits.
        const std::string_view line = match.line;
        const int offset = year_offset(match.year_digits);
        const auto field = [&](int first_key) {
            return line.substr(key_position(first_key, match.number_offset, offset), 2);
        };
        std::string when = " del ";
        when += field(4);
        when += '/';
        when += field(2);
        when += '/';
        if (match.year_digits == 4) {
            when += line.substr(century_position(match.number_offset), 2);
        }
        when += field(0);
        when += " alle ";
        when += field(6);
        when += ':';
        when += field(8);
        when +=
            why == LeftOut::no_date ? ": data o ora inesistente" : ": finirebbe dopo l'anno 9999";
        text.own(reason, when);
    }
    reason += where;
    return reason;
}

}  // namespace gironario
