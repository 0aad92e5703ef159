#pragma once

// The command line: no arguments for the dialogue, or options that answer its questions for a
// single run from a script.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "driver/answers.hpp"
#include "export/ics_zone.hpp"

namespace gironario {

// What --help prints, and what follows a usage error on standard error.
extern const std::string_view usage;

struct Options {
    enum class Action { dialogue, run, help, version, usage_error };
    Action action = Action::dialogue;

    // For Action::run.
    Format format = Format::text;
    // The year digits of each calendar, 2 or 4; nothing to find them in the calendar itself.
    std::array<std::optional<int>, 2> year_digits{};
    int duration_minutes = 120;
    // For the iCalendar export: the time zone of the matches, and the calendar's name.
    IcsZone zone = IcsZone::europe_rome;
    std::optional<std::string> name;

    // For Action::usage_error: what was wrong, one line without its line feed.
    std::string error;
};

// Reads the arguments the GNU way (getopt_long): -f FORMATO / --formato=FORMATO, -a ANNI /
// --anni=ANNI, --durata=MINUTI, --fuso=FUSO, --nome=TESTO, --help, --version; long options may be
// shortened while they stay unambiguous, and "--" ends the options. --help and --version win over
// everything after them.
Options parse_options(int argc, char* const argv[]);

}  // namespace gironario
