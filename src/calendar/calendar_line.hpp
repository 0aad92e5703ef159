#pragma once

// What a line of a calendar looks like to the merge: which lines are matches, where the date and
// time of a match stand, and how a match line is written out with its year shortened.
//
// A match line reads, for example, "12 05/10/2007 21:00 PalaA Alfa - Beta": match number, day,
// month, year (two or four digits), hour, minute, place and description. Only the number's width
// and the key positions are relied on; the separators between the fields are never looked at.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "io/line_reader.hpp"
#include "io/line_writer.hpp"

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

namespace detail {

// Position of each key in a line with a three-digit match number and a two-digit year, and
// whether the key lies after the year, so that a four-digit year moves it.
struct KeyPlace {
    int position;
    bool after_year;
};

inline constexpr std::array<KeyPlace, KEYS> key_places = {{
    {10, true},  // year, tens
    {11, true},  // year, units
    {7, false},  // month, tens
    {8, false},  // month, units
    {4, false},  // day, tens
    {5, false},  // day, units
    {13, true},  // hour, tens
    {14, true},  // hour, units
    {16, true},  // minute, tens
    {17, true},  // minute, units
}};

}  // namespace detail

// Where key `key` (0 to KEYS - 1) stands in a match line of width offset `width`. Inline: the
// merge and its checks ask for every line.
constexpr std::size_t key_position(int key, int width, int year_offset) {
    const detail::KeyPlace& place = detail::key_places[static_cast<std::size_t>(key)];
    // Counted in the width of a size, so that the positions of one line differ by constants.
    const std::ptrdiff_t shift = std::ptrdiff_t{year_offset} - width;
    return static_cast<std::size_t>(place.position + (place.after_year ? shift : -width));
}

// The value compared at `position` of a line whose first `line.size()` bytes are known. Bytes
// compare as signed 8-bit values; the line feed is 10; past the line feed, lower than any byte.
int key_value(std::string_view line, std::size_t position);

namespace detail {

// Whether eight bytes read as "dd/mm/yy" hold digits where the d, m and y stand (the separators
// may be anything).
inline bool digits_in_date_places(std::uint64_t word) {
    // The separators' bytes become '0'. The pattern reads the same from either end, so the byte
    // order of the machine does not matter.
    constexpr std::uint64_t places = 0xFFFF00FFFF00FFFFu;
    constexpr std::uint64_t zeros = 0x3030303030303030u;
    constexpr std::uint64_t high_nibbles = 0xF0F0F0F0F0F0F0F0u;
    word = (word & places) | (zeros & ~places);
    // A digit is 0x30 to 0x39: its high nibble is 3, and stays 3 with 6 added (no byte carries
    // into the next once every high nibble is 3).
    return (word & high_nibbles) == zeros && ((word + 0x0606060606060606u) & high_nibbles) == zeros;
}

}  // namespace detail

// Whether the date and time of a match line of width offset `width` stand where the merge reads
// them: the ten keys and, for four-digit years, the two century digits, all digits 0-9 within
// `line` (the line, or its head, without the line feed). Eight bytes at a time: the merge's
// checks ask for every line.
inline bool has_shape(std::string_view line, int width, int year_digits) {
    const int offset = year_offset(year_digits);
    // The minute's units stand last, the century digits included: past them, every place counts.
    if (key_position(KEYS - 1, width, offset) >= line.size()) {
        return false;
    }
    // "dd/mm/yy" from the day on, then "yy hh:mm" from the year's last two digits: the same
    // places hold digits in both, and with a four-digit year the first "yy" is its century.
    const char* day = line.data() + key_position(4, width, offset);
    const std::size_t year = key_position(0, width, offset) - key_position(4, width, offset);
    std::uint64_t first;
    std::uint64_t second;
    std::memcpy(&first, day, sizeof first);
    std::memcpy(&second, day + year, sizeof second);
    return detail::digits_in_date_places(first) && detail::digits_in_date_places(second);
}

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

// The same, telling in `in_place` whether the line has_shape() at the same time. Inline for the
// merge, which asks for every line: a line whose date and time are in place, as nearly all are,
// has its keys taken from the two words that the shape test reads.
inline MatchKeys match_keys(std::string_view line, int width, int year_offset, bool& in_place) {
    in_place = false;
    if constexpr (std::endian::native == std::endian::little) {
        if (key_position(KEYS - 1, width, year_offset) < line.size()) {
            // "dd/mm/yy" from the day on, "yy hh:mm" from the year's last two digits.
            std::uint64_t first;
            std::uint64_t second;
            std::memcpy(&first, line.data() + key_position(4, width, year_offset), sizeof first);
            std::memcpy(&second, line.data() + key_position(0, width, year_offset), sizeof second);
            if (detail::digits_in_date_places(first) && detail::digits_in_date_places(second)) {
                in_place = true;
                // Byte `n` of a word as a key, a digit: its value is the byte and 129, added to
                // every key at once.
                const auto at = [](std::uint64_t word, int n) { return (word >> (8 * n)) & 0xFF; };
                constexpr std::uint64_t time_129s = 129ull << 27 | 129ull << 18 | 129ull << 9 | 129;
                constexpr std::uint64_t date_129s = time_129s << 18 | 129ull << 9 | 129;
                MatchKeys keys;
                keys.date = (at(second, 0) << 45 | at(second, 1) << 36 | at(first, 3) << 27 |
                             at(first, 4) << 18 | at(first, 0) << 9 | at(first, 1)) +
                            date_129s;
                keys.time = (at(second, 3) << 27 | at(second, 4) << 18 | at(second, 6) << 9 |
                             at(second, 7)) +
                            time_129s;
                return keys;
            }
        }
    } else {
        in_place = has_shape(line, width, year_offset == 2 ? 4 : 2);
    }
    return match_keys(line, width, year_offset);
}

// Where the century digits of a four-digit year start in a line of width offset `width`.
constexpr std::size_t century_position(int width) {
    return static_cast<std::size_t>(10 - width);
}

// A calendar while it is being merged: its reader, whose current line is the held line, its name
// as the user gave it, the year digits it is read with, and the width offset of its latest match
// line.
struct Calendar {
    LineReader& lines;
    int year_digits;
    std::string name{};
    std::size_t index = 0;  // its place in the order named, which wins ties; set by the merge
    int width = 0;
    MatchKeys keys{};       // of the held line, once it is a match line
    bool in_place = false;  // whether the held match line has_shape()
    bool ended = false;
    // Of the held line in its file, from 1: headings, empty lines and long lines count one each.
    long long line_number = 0;

    // Moves on to the next line; at the end of the input the calendar has ended.
    void advance() {
        ++line_number;
        ended = !lines.next();
    }
};

// Hands the calendar's held line to `put` piece by piece as it is written out, consuming it: the
// century digits of a four-digit year are left out. The line feed is not handed over.
template <typename Put>
void consume_written(Calendar& calendar, Put&& put) {
    if (calendar.year_digits != 4) {
        calendar.lines.consume([&](std::string_view piece, std::size_t) { put(piece); });
        return;
    }
    const std::size_t century = century_position(calendar.width);
    calendar.lines.consume([&](std::string_view piece, std::size_t offset) {
        // Leave out the two century digits wherever they fall within this piece.
        const std::size_t end = offset + piece.size();
        const std::size_t skip_begin = std::clamp(century, offset, end) - offset;
        const std::size_t skip_end = std::clamp(century + 2, offset, end) - offset;
        put(piece.substr(0, skip_begin));
        put(piece.substr(skip_end));
    });
}

// The calendar's held line whole, without its line feed: where it lies in the reader's buffer, or,
// for a line longer than that, gathered into `buffer`, consuming it.
inline std::string_view whole_line(Calendar& calendar, std::string& buffer) {
    if (calendar.lines.whole()) {
        return calendar.lines.head();
    }
    buffer.clear();
    calendar.lines.consume([&](std::string_view piece, std::size_t) { buffer.append(piece); });
    return buffer;
}

// Writes the calendar's held line, consuming it, with a line feed whether the line had one or not.
// The century digits of a four-digit year are left out.
void write_match_line(Calendar& calendar, LineWriter& out);

}  // namespace gironario
