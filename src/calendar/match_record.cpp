#include "calendar/match_record.hpp"

#include <algorithm>

#include "io/text.hpp"

namespace gironario {

void append_two_digits(std::string& text, int value) {
    text.push_back(static_cast<char>('0' + value / 10 % 10));
    text.push_back(static_cast<char>('0' + value % 10));
}

namespace {

// Words of a cell put in one field of a line: line breaks and tabs as spaces, and with `joined`,
// every space as a no-break space, so that the words stay one field.
void append_field(std::string& line, std::string_view words, bool joined, bool utf8) {
    const auto is_space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    if (!joined) {
        // Every white space a plain space, in place.
        const std::size_t from = line.size();
        line.append(words);
        std::replace_if(line.begin() + static_cast<std::ptrdiff_t>(from), line.end(), is_space,
                        ' ');
        return;
    }
    const std::string_view space = utf8 ? "\xC2\xA0" : "\xA0";
    std::size_t start = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (is_space(words[i])) {
            line.append(words.substr(start, i - start)).append(space);
            start = i + 1;
        }
    }
    line.append(words.substr(start));
}

}  // namespace

void set_row_start(MatchRecord& match, const LocalTime& start) {
    match.dating = Dating::dated;
    match.at = start;
    match.start = minute_number(start);
    match.keys = {start.year % 100 * 10000 + start.month * 100 + start.day,
                  start.hour * 100 + start.minute};
    match.in_place = true;
}

std::string row_line(const MatchRecord& match, bool utf8) {
    std::string line;
    // Room for a no-break space of two bytes in place of every space.
    line.reserve(match.number.size() + 2 * match.place.size() + match.title.size() + 24);
    append_row_line(line, match, utf8);
    return line;
}

void append_row_line(std::string& line, const MatchRecord& match, bool utf8) {
    // NUMBER dd/mm/yy hh:mm PLACE TITLE, or "--" for what of the date and time cannot be read.
    append_field(line, match.number, true, utf8);
    // " dd/mm/yy hh:mm ", put together before it is appended.
    const bool day = match.dating == Dating::dated || match.day_known;
    const bool time = match.dating == Dating::dated || match.time_known;
    char moment[16];
    std::size_t length = 0;
    const auto put = [&](std::string_view text) {
        for (const char c : text) {
            moment[length++] = c;
        }
    };
    const auto put_two = [&](int value) {
        moment[length++] = static_cast<char>('0' + value / 10 % 10);
        moment[length++] = static_cast<char>('0' + value % 10);
    };
    put(" ");
    if (day) {
        put_two(match.at.day);
        put("/");
        put_two(match.at.month);
        put("/");
        put_two(match.at.year);
    }
    if (time) {
        put(day ? " " : "-- ");
        put_two(match.at.hour);
        put(":");
        put_two(match.at.minute);
    } else {
        put(day ? " --" : "--");
    }
    put(" ");
    line.append(moment, length);
    append_field(line, match.place.empty() ? "-" : match.place, true, utf8);
    line += ' ';
    append_field(line, match.title, false, utf8);
}

std::string match_title(std::string_view title, std::string_view place, bool utf8) {
    std::string shown;
    for (const std::string_view part : {title, place}) {
        shown.clear();
        append_plain_text(shown, part, utf8);
        const std::size_t first = shown.find_first_not_of(' ');
        if (first != std::string::npos) {
            return shown.substr(first, shown.find_last_not_of(' ') + 1 - first);
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
    text.foreign(reason, match.number);
    if (match.dating == Dating::unreadable) {
        text.own(reason, ": ");
        text.own(reason, match.unreadable);
    } else if (why == LeftOut::unreadable || match.dating == Dating::bad_shape) {
        text.own(reason, ": data e ora non leggibili");
    } else {
        // The date and time as the line writes them, which may be no day at all.
        std::string when = " del ";
        if (match.dating == Dating::bad_date) {
            when += match.unreadable;
        } else {
            append_two_digits(when, match.at.day);
            when += '/';
            append_two_digits(when, match.at.month);
            when += '/';
            if (match.year_digits == 4) {
                append_two_digits(when, match.at.year / 100);
            }
            append_two_digits(when, match.at.year);
            when += " alle ";
            append_clock(when, match.at);
        }
        when +=
            why == LeftOut::no_date ? ": data o ora inesistente" : ": finirebbe dopo l'anno 9999";
        text.own(reason, when);
    }
    reason += where;
    return reason;
}

}  // namespace gironario
