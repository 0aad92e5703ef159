#pragma once

// One run from the command line: the options answer the dialogue's questions, and nothing is read
// from standard input.

#include <ctime>

#include "driver/console.hpp"
#include "driver/folder.hpp"
#include "driver/options.hpp"

namespace gironario {

// Makes the run that `options` (Action::run) ask for in `folder`, with the same files, bytes,
// count and warnings as the dialogue given those answers, and prints its summary. Both calendars
// are opened, and read where their year digits are to be found, before any file is created.
// `now` is the time of the run. Returns EXIT_OK or EXIT_FAILED.
int run_batch(const Options& options, Console& console, Folder& folder, std::time_t now);

}  // namespace gironario
