#pragma once

// What a line of a calendar looks like to the merge: which lines are matches, where the date and
// time of a match stand, and how a match line is written out with its year shortened.
//
// A match line reads, for example, "12 05/10/2007 21:00 PalaA Alfa - Beta": match number, day,
// month, year (two or four digits), hour, minute, place and description. Only the number's width
// and the key positions are relied on; the separators between the fields are never looked at.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calendar/line_reader.hpp"
#include "calendar/line_writer.hpp"

namespace gironario {

// Number of keys compared between two match lines: the year's last two digits, the month, the day,
// the hour and the minute, one character each, in that order.
inline constexpr int KEYS = 10;

// Keys before this one are date keys: a match found earlier by one of them ends its day's block.
inline constexpr int FIRST_TIME_KEY = 6;

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A match line starts with a digit followed by a digit or a space.
inline bool is_match_line(std::string_view line) {
    return line.size() >= 2 && is_digit(line[0]) && (is_digit(line[1]) || line[1] == ' ');
}

// The width offset of a match line: 3 minus the number of digits of its match number, negative
// for numbers of four digits or more. A line whose number shows no such shape keeps `previous`,
// the offset of the calendar's previous match line.
int detect_width(std::string_view line, int previous);

// 0 for calendars with two-digit years, 2 for four-digit ones: how far the time moves right.
constexpr int year_offset(int year_digits) {
    return year_digits == 4 ? 2 : 0;
}

// Where key `key` (0 to KEYS - 1) stands in a match line of width offset `width`.
std::size_t key_position(int key, int width, int year_offset);

// The value compared at `position` of a line whose first `line.size()` bytes are known. Bytes
// compare as signed 8-bit values; the line feed is 10; past the line feed, lower than any byte.
int key_value(std::string_view line, std::size_t position);

// The date and time of a match line as two numbers that order as its keys do: of two lines, the
// one with the smaller `date` is earlier by its date (year, month, day), and at equal dates the
// one with the smaller `time` is earlier by its time. Worked out once per line, so that the merge
// compares two numbers instead of ten keys at every step.
struct MatchKeys {
    std::uint64_t date = 0;
    std::uint64_t time = 0;
};

// The keys of a match line of width offset `width`, compared as key_value() tells.
MatchKeys match_keys(std::string_view line, int width, int year_offset);

// Where the century digits of a four-digit year start in a line of width offset `width`.
constexpr std::size_t century_position(int width) {
    return static_cast<std::size_t>(10 - width);
}

class LineCheck;

// A calendar while it is being merged: its reader, whose current line is the held line, the year
// digits the user gave for it, and the width offset of its latest match line.
struct Calendar {
    LineReader& lines;
    int year_digits;
    int width = 0;
    MatchKeys keys{};  // of the held line, once it is a match line
    bool ended = false;
    // Of the held line in its file, from 1: headings, empty lines and long lines count one each.
    long long line_number = 0;
    LineCheck* check = nullptr;  // told about each match line taken, when someone wants warnings

    // Moves on to the next line; at the end of the input the calendar has ended.
    void advance() {
        ++line_number;
        ended = !lines.next();
    }
};

// Writes the calendar's held line, consuming it, with a line feed whether the line had one or not.
// The century digits of a four-digit year are left out.
void write_match_line(Calendar& calendar, LineWriter& out);

}  // namespace gironario
