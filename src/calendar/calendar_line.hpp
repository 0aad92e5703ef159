#pragma once

// What a line of a text calendar looks like to the merge: which lines are matches, where the date
// and time of a match stand, and where its year's century is left out when it is written.
//
// A match line reads, for example, "12 05/10/2007 21:00 PalaA Alfa - Beta": match number, day,
// month, year (two or four digits), hour, minute, place and description. The merge relies on the
// number's width and the digits at the key positions only; the separators between the fields are
// looked at by no ordering rule, only by the reading of lines typed out of their columns.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

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
// digits or more). A line whose number shows no such shape keeps `previous`, the offset of the
// calendar's previous match line.
int detect_number_offset(std::string_view line, int previous);

// 0 for calendars with two-digit years, 2 for four-digit ones: how far the time moves right.
constexpr int year_offset(int year_digits) {
    return year_digits == 4 ? 2 : 0;
}

// Where key `key` (0 to KEY_CHARACTERS - 1) stands in a match line of number offset
// `number_offset`: its place in a line with a three-digit number and a two-digit year, moved
// left by the number's offset and, after the year, right by the year's.
constexpr std::size_t key_position(int key, int number_offset, int year_offset) {
    struct KeyPlace {
        int position;
        bool after_year;
    };
    constexpr std::array<KeyPlace, KEY_CHARACTERS> places = {{
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
    const KeyPlace place = places[static_cast<std::size_t>(key)];
    // In the width of a size: a number of a billion digits must not overflow an int.
    return static_cast<std::size_t>(std::ptrdiff_t{place.position} - number_offset +
                                    (place.after_year ? year_offset : 0));
}

// Where the century digits of a four-digit year start in a line of number offset `number_offset`.
constexpr std::size_t century_position(int number_offset) {
    return static_cast<std::size_t>(10 - number_offset);
}

// The date and time a match line writes in its columns, as numbers, the year as written (its
// last two digits for a calendar of two-digit years, all four for one of four).
struct ColumnDate {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// The date and time of a match line of number offset `number_offset`, when every one of their
// digits (the ten keys and, for four-digit years, the century) stands where the merge reads it,
// within `line`; nothing otherwise. Whether such a day exists is not looked at.
std::optional<ColumnDate> read_columns(std::string_view line, int number_offset, int year_digits);

// Whether the line's date and time stand where the merge reads them.
inline bool has_shape(std::string_view line, int number_offset, int year_digits) {
    return read_columns(line, number_offset, year_digits).has_value();
}

}  // namespace gironario
