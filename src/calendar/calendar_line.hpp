#pragma once

// What a line of a text calendar looks like to the merge: which lines are matches, where the date
// and time of a match stand, and where its year's century is left out when it is written.
//
// A match line reads, for example, "12 05/10/2007 21:00 PalaA Alfa - Beta": match number, day,
// month, year (two or four digits), hour, minute, place and description. The merge relies on the
// number's width and the key positions only; the separators between the fields are looked at by
// no ordering rule, only by the reading of lines typed out of their columns.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "calendar/match_record.hpp"

namespace gironario {

// Number of key characters compared between two match lines: the year's last two digits, the
// month, the day, the hour and the minute, one character each, in that order.
inline constexpr int KEY_CHARACTERS = 10;

// Keys before this one are date keys: a match found earlier by one of them ends its day's block.
inline constexpr int FIRST_TIME_KEY = 6;

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// A match line starts with a digit followed by a digit or a space.
inline bool is_match_line(std::string_view line) {
    return line.size() >= 2 && is_digit(line[0]) && (is_digit(line[1]) || line[1] == ' ');
}

// The number offset of a match line: how far its fields stand left of where a three-digit number
// puts them, 3 minus the number of digits of its match number (negative for numbers of four
// digits or more). A line whose number shows no such shape keeps `previous`,
// the offset of the calendar's previous match line.
int detect_long_number_offset(std::string_view line, int previous);
inline int detect_number_offset(std::string_view line, int previous) {
    if (line.size() > 3) {
        if (line[3] == ' ') {
            return 0;
        }
        if (line[2] == ' ') {
            return 1;
        }
        if (line[1] == ' ') {
            return 2;
        }
    }
    return detect_long_number_offset(line, previous);
}

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

inline constexpr std::array<KeyPlace, KEY_CHARACTERS> key_places = {{
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

// Where key `key` (0 to KEY_CHARACTERS - 1) stands in a match line of number offset
// `number_offset`. Inline: the merge and its checks ask for every line.
constexpr std::size_t key_position(int key, int number_offset, int year_offset) {
    const detail::KeyPlace& place = detail::key_places[static_cast<std::size_t>(key)];
    // Counted in the width of a size, so that the positions of one line differ by constants.
    const std::ptrdiff_t shift = std::ptrdiff_t{year_offset} - number_offset;
    return static_cast<std::size_t>(place.position + (place.after_year ? shift : -number_offset));
}

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

// Whether the date and time of a match line of number offset `number_offset` stand where the merge
// reads them: the ten keys and, for four-digit years, the two century digits, all digits 0-9 within
// `line` (the line, or its head, without the line feed). Eight bytes at a time: the merge's
// checks ask for every line.
inline bool has_shape(std::string_view line, int number_offset, int year_digits) {
    const int offset = year_offset(year_digits);
    // The minute's units stand last, the century digits included: past them, every place counts.
    if (key_position(KEY_CHARACTERS - 1, number_offset, offset) >= line.size()) {
        return false;
    }
    // "dd/mm/yy" from the day on, then "yy hh:mm" from the year's last two digits: the same
    // places hold digits in both, and with a four-digit year the first "yy" is its century.
    const char* day = line.data() + key_position(4, number_offset, offset);
    const std::size_t year =
        key_position(0, number_offset, offset) - key_position(4, number_offset, offset);
    std::uint64_t first;
    std::uint64_t second;
    std::memcpy(&first, day, sizeof first);
    std::memcpy(&second, day + year, sizeof second);
    return detail::digits_in_date_places(first) && detail::digits_in_date_places(second);
}

// The keys of a match line of number offset `number_offset`, telling in `in_place` whether the line
// has_shape(): its date and time in their columns. The keys of such a line are its ten key
// characters, the earlier key in the higher bits; any other line has no keys of its own (zero),
// and its calendar places it (calendar.hpp). Inline for the merge, which asks for every line.
[[gnu::always_inline]] inline MatchKeys match_keys(std::string_view line, int number_offset,
                                                   int year_offset, bool& in_place) {
    if constexpr (std::endian::native == std::endian::little) {
        in_place = false;
        if (key_position(KEY_CHARACTERS - 1, number_offset, year_offset) >= line.size()) {
            return {};
        }
        // "dd/mm/yy" from the day on, "yy hh:mm" from the year's last two digits: the shape
        // test's two words, whose digits, read as big-endian numbers, are the keys.
        std::uint64_t first;
        std::uint64_t second;
        std::memcpy(&first, line.data() + key_position(4, number_offset, year_offset),
                    sizeof first);
        std::memcpy(&second, line.data() + key_position(0, number_offset, year_offset),
                    sizeof second);
        if (!detail::digits_in_date_places(first) || !detail::digits_in_date_places(second)) {
            return {};
        }
        in_place = true;
        first = __builtin_bswap64(first);
        second = __builtin_bswap64(second);
        MatchKeys keys;
        keys.date = (second >> 48) << 32 | (first >> 24 & 0xFFFF) << 16 | first >> 48;
        keys.time = (second >> 24 & 0xFFFF) << 16 | (second & 0xFFFF);
        return keys;
    } else {
        in_place = has_shape(line, number_offset, year_offset == 2 ? 4 : 2);
        if (!in_place) {
            return {};
        }
        const auto at = [&](int key) {
            return std::uint64_t{
                static_cast<unsigned char>(line[key_position(key, number_offset, year_offset)])};
        };
        MatchKeys keys;
        keys.date = at(0) << 40 | at(1) << 32 | at(2) << 24 | at(3) << 16 | at(4) << 8 | at(5);
        keys.time = at(6) << 24 | at(7) << 16 | at(8) << 8 | at(9);
        return keys;
    }
}

// Where the century digits of a four-digit year start in a line of number offset `number_offset`.
constexpr std::size_t century_position(int number_offset) {
    return static_cast<std::size_t>(10 - number_offset);
}

}  // namespace gironario
