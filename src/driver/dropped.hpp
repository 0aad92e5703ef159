#pragma once

// Calendars named with no option, as Windows starts a program that files are dropped on (or a
// shortcut to it): the one question is the format, and the result goes beside the calendars.

#include <ctime>
#include <istream>
#include <string>
#include <vector>

#include "driver/console.hpp"
#include "driver/folder.hpp"
#include "driver/formats.hpp"

namespace gironario {

// Where the result of `format` goes for `calendars`: the format's own file in the folder of
// the first calendar, since the working folder of a program started from Explorer is seldom
// the user's.
std::string result_beside(const std::vector<std::string>& calendars, Format format);

// Asks for the format (every one, refused answers asked again), then merges `calendars` as the
// options would, year digits found in each, into result_beside(). With `wait_for_enter` (a
// console window that closes with the program) it then waits for Enter, so that what was said
// can be read. Returns EXIT_OK, or EXIT_FAILED when the run failed or the input ended before an
// answer (then no file is changed).
int run_dropped(const std::vector<std::string>& calendars, std::istream& in, Console& console,
                Folder& folder, std::time_t now, bool wait_for_enter);

}  // namespace gironario
