#pragma once

#include <istream>
#include <ostream>

#include "driver/console.hpp"
#include "driver/exit_status.hpp"
#include "driver/folder.hpp"

namespace gironario {

// Holds the whole console dialogue: in a loop of runs it asks for the format and the year digits
// of both calendars, merges calendario1.txt and calendario2.txt of `folder`, writes the chosen
// format, reports the number of matches and asks whether to start again. Problems with files are
// told on `err` and end the run they happen in.
//
// Returns EXIT_OK when every run was completed, EXIT_FAILED when one failed or the input ended
// before a question had its answer.
// Its own texts reach the console in `encoding`.
int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, Folder& folder,
                 ConsoleEncoding encoding = ConsoleEncoding::latin1);

}  // namespace gironario
