#pragma once

// One run of the program, whether the dialogue asked for it or the command line: a value that
// says what to merge and where to write it, and the one function that carries it out.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/console.hpp"
#include "driver/folder.hpp"
#include "driver/formats.hpp"

namespace gironario {

// The calendars of the dialogue, and of a command line that names none.
inline constexpr std::array<std::string_view, 2> default_calendars = {"calendario1.txt",
                                                                      "calendario2.txt"};

// What the result is called when -o - sends it to standard output.
inline constexpr std::string_view STANDARD_OUTPUT = "-";
// What a calendar read from standard input is called.
inline constexpr std::string_view STANDARD_INPUT = "-";

// A calendar to merge: its name as the user gave it (a path relative to the folder, or an
// absolute one), and the digits of its years, or nothing to find them in its lines.
struct CalendarRequest {
    std::string name;
    std::optional<int> year_digits;
};

// Everything one run needs.
struct RunRequest {
    std::vector<CalendarRequest> calendars;
    Format format = Format::text;
    // Where the result goes as the user named it: empty for the format's own file, "-" for
    // standard output.
    std::string output;
    ExportSettings settings;
    // --squadra: only the matches that name one of these are kept; none keeps them all.
    std::vector<std::string> teams;
    // --luogo: the names of places of several words, which a text line's place may begin.
    std::vector<std::string> places;
};

// Carries out a run in `folder`: opens every calendar (and reads those whose year digits are to be
// found) before anything is written, merges them into the format's result and makes its table,
// puts each file in place only once it is whole, and prints the count of matches and where the
// calendar is. Whatever fails is told on the console's standard error, and then no file is
// changed (only temp.txt may keep the merged text when the table alone failed). True when the
// run was completed.
bool carry_out(const RunRequest& request, Folder& folder, Console& console);

// Whether the result of `request` can be written where it goes, after saying why it can't: the
// dialogue asks this as soon as the format is chosen, so that a result that can't be written is
// told before any other question.
bool result_can_be_written(const RunRequest& request, Folder& folder, Console& console);

}  // namespace gironario
