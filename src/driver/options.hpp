#pragma once

// The command line: no arguments for the dialogue, or options that answer its questions for a
// single run from a script.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/formats.hpp"
#include "export/ics_zone.hpp"

namespace gironario {

// What --help prints; a usage error only points to it.
extern const std::string_view usage;

struct Options {
    // dropped: calendars named with no option at all, as Windows starts a program that files
    // are dropped on; the format is asked, and the rest is as the options' defaults say.
    enum class Action { dialogue, run, dropped, help, version, usage_error };
    Action action = Action::dialogue;

    // For Action::run (and the calendars for Action::dropped).
    Format format = Format::text;
    // The calendars as typed, in their order; none for calendario1.txt and calendario2.txt.
    std::vector<std::string> calendars;
    // The year digits, 2 or 4, or nothing to find them in the calendar itself: one value for
    // every calendar, or one for each.
    std::vector<std::optional<int>> year_digits{std::nullopt};
    // -o: where the result goes, "-" for standard output; empty for the format's own file.
    std::string output;
    int duration_minutes = 120;
    // --sovrapposizioni: tell matches of different calendars that overlap in different places.
    bool overlaps = false;
    // --nome: the result's own name, bytes as typed.
    std::optional<std::string> name;
    // --fuso: the zone of the iCalendar file's times.
    IcsZone zone = IcsZone::europe_rome;
    // --squadra, as often as given: only the matches that name one of these teams are kept.
    std::vector<std::string> teams;
    // --luogo, as often as given: places of several words, that a text line's place may begin.
    std::vector<std::string> places;

    // For Action::usage_error: what was wrong, one line without its line feed.
    std::string error;
};

// Reads the arguments the GNU way (getopt_long): -f FORMATO / --formato=FORMATO, -a ANNI /
// --anni=ANNI, -o FILE / --uscita=FILE, --durata=MINUTI, --sovrapposizioni, --nome=TESTO,
// --fuso=FUSO, --help, --version, then the calendars;
// long options may be shortened while they stay unambiguous, options and calendars may come in
// any order, and "--" ends the options. --help and --version win over everything after them.
// Calendars alone, with no option but "--", are Action::dropped.
Options parse_options(int argc, char* const argv[]);

}  // namespace gironario
