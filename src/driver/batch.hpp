#pragma once

// One run from the command line: the options say everything the dialogue would ask, and nothing
// is read from standard input.

#include <ctime>

#include "driver/console.hpp"
#include "driver/folder.hpp"
#include "driver/options.hpp"
#include "driver/run.hpp"

namespace gironario {

// The run that `options` (Action::run) ask for, at the time `now`.
RunRequest request_of(const Options& options, std::time_t now);

// Carries out that run in `folder`, with the same files, bytes, count and warnings as the
// dialogue given the same answers, and prints its summary. Returns EXIT_OK or EXIT_FAILED.
int run_batch(const Options& options, Console& console, Folder& folder, std::time_t now);

}  // namespace gironario
