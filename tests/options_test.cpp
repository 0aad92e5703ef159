#include "driver/options.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "driver/console.hpp"

namespace gironario {
namespace {

using Action = Options::Action;
constexpr std::optional<int> AUTO = std::nullopt;

// One command line and what it must come to; `error` is looked for in the message.
struct Row {
    std::vector<std::string> arguments;
    Action action;
    Format format = Format::text;
    std::vector<std::optional<int>> years{AUTO};
    int minutes = 120;
    std::string error{};
    std::vector<std::string> calendars{};
    std::string output{};
    bool overlaps = false;
    IcsZone zone = IcsZone::europe_rome;
    std::optional<std::string> name{};
};

Options parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "gironario");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return parse_options(static_cast<int>(arguments.size()), argv.data());
}

TEST(Options, CommandLines) {
    // clang-format off
    const Row rows[] = {
        {{}, Action::dialogue},
        // Every spelling of the format, in either case; without -a both calendars are auto.
        {{"-f", "t"}, Action::run, Format::text, {AUTO}},
        {{"-fT"}, Action::run, Format::text},
        {{"--formato", "w"}, Action::run, Format::word},
        {{"--formato=X"}, Action::run, Format::spreadsheet},
        {{"--form=h"}, Action::run, Format::web_page},
        {{"--fo=i"}, Action::run, Format::icalendar},
        {{"-fi", "--fuso=locale", "--nome="}, Action::run, Format::icalendar, {AUTO}, 120, "", {}, "", false, IcsZone::floating, ""},
        {{"-fi", "--fuso", "locale", "--fu=Europe/Rome", "--no", "U17, Lorvane"}, Action::run, Format::icalendar, {AUTO}, 120, "", {}, "", false, IcsZone::europe_rome, "U17, Lorvane"},
        {{"-f", "I", "--durata=1"}, Action::run, Format::icalendar, {AUTO}, 1},
        {{"-fi", "--dur", "1440"}, Action::run, Format::icalendar, {AUTO}, 1440},
        {{"-fi", "--durata=0090"}, Action::run, Format::icalendar, {AUTO}, 90},
        {{"-f", "P", "--nome=Under 17"}, Action::run, Format::page, {AUTO}, 120, "", {}, "", false, IcsZone::europe_rome, "Under 17"},
        // The duration counts for the clash check too, in every format.
        {{"-ft", "--durata=30", "--sovr"}, Action::run, Format::text, {AUTO}, 30, {}, {}, {}, true},
        {{"--sovrapposizioni", "-fh"}, Action::run, Format::web_page, {AUTO}, 120, {}, {}, {}, true},
        // Year digits for both, or for each; the last of repeated options counts.
        {{"-f", "t", "-a", "4"}, Action::run, Format::text, {4}},
        {{"-a2", "-ft"}, Action::run, Format::text, {2}},
        {{"-ft", "--anni=4,2"}, Action::run, Format::text, {4, 2}},
        {{"-ft", "--anni", "auto,2"}, Action::run, Format::text, {AUTO, 2}},
        {{"-ft", "-a", "4,auto"}, Action::run, Format::text, {4, AUTO}},
        {{"-ft", "-a", "4", "-a", "auto"}, Action::run, Format::text, {AUTO}},
        // Calendars named, before, between and after the options, and where the result goes.
        {{"-ft", "prima.txt", "squadre/u17.txt", "/srv/u15.txt"}, Action::run, Format::text, {AUTO}, 120, {}, {"prima.txt", "squadre/u17.txt", "/srv/u15.txt"}},
        {{"uno.txt", "-fx", "due.txt", "-o", "-", "--", "-tre.txt"}, Action::run, Format::spreadsheet, {AUTO}, 120, {}, {"uno.txt", "due.txt", "-tre.txt"}, "-"},
        {{"-ft", "solo.txt", "--uscita=sito/calendario.txt"}, Action::run, Format::text, {AUTO}, 120, {}, {"solo.txt"}, "sito/calendario.txt"},
        {{"-ft", "-oesce.txt", "-a", "4,2,auto", "a", "b", "c"}, Action::run, Format::text, {4, 2, AUTO}, 120, {}, {"a", "b", "c"}, "esce.txt"},
        {{"-ft", "-a", "4,2", "a", "b", "c"}, Action::usage_error, {}, {}, 120, "2 valori per 3 calendari"},
        {{"-ft", "-a", "4,2", "a"}, Action::usage_error, {}, {}, 120, "2 valori per 1 calendari"},
        {{"-ft", "-o"}, Action::usage_error, {}, {}, 120, "manca il valore dell'opzione -o"},
        {{"-ft", "-o", ""}, Action::usage_error, {}, {}, 120, "manca il nome del file di uscita"},
        {{"-fx", "-fh"}, Action::run, Format::web_page},
        {{"-ft", "--", }, Action::run, Format::text},
        // --help and --version win over what stands before them, and stop the reading there.
        {{"--help"}, Action::help},
        {{"-ft", "--help", "--boh"}, Action::help},
        {{"--he", "--version"}, Action::help},
        {{"-a", "4", "--version", "x"}, Action::version},
        {{"--v"}, Action::version},
        // Usage errors.
        {{"--"}, Action::usage_error, {}, {}, 120, "manca il formato"},
        {{"-a", "4"}, Action::usage_error, {}, {}, 120, "manca il formato"},
        {{"-a", "4", "u17.txt"}, Action::usage_error, {}, {}, 120, "manca il formato"},
        // Calendars alone, as Windows names those dropped on the program: the format is asked.
        {{"t"}, Action::dropped, {}, {}, 120, {}, {"t"}},
        {{"C:\\Squadre\\u17.txt", "--", "-u15.txt"}, Action::dropped, {}, {}, 120, {}, {"C:\\Squadre\\u17.txt", "-u15.txt"}},
        {{"-ft", "--", "--help"}, Action::run, Format::text, {AUTO}, 120, {}, {"--help"}},
        {{"-f"}, Action::usage_error, {}, {}, 120, "manca il valore dell'opzione -f"},
        {{"-ft", "--anni"}, Action::usage_error, {}, {}, 120, "manca il valore dell'opzione --anni"},
        {{"-f", "tt"}, Action::usage_error, {}, {}, 120, "formato non valido: \"tt\""},
        {{"-f", ""}, Action::usage_error, {}, {}, 120, "formato non valido: \"\""},
        {{"-f", "z"}, Action::usage_error, {}, {}, 120, "formato non valido"},
        {{"-ft", "-a", "3"}, Action::usage_error, {}, {}, 120, "cifre dell'anno non valide: \"3\""},
        {{"-ft", "-a", "4,2,2"}, Action::usage_error, {}, {}, 120, "3 valori per 2 calendari"},
        {{"-ft", "-a", "4,"}, Action::usage_error, {}, {}, 120, "cifre dell'anno non valide"},
        {{"-ft", "-a", "AUTO"}, Action::usage_error, {}, {}, 120, "cifre dell'anno non valide"},
        {{"-fi", "--durata=0"}, Action::usage_error, {}, {}, 120, "durata non valida: \"0\""},
        {{"-fi", "--durata=1441"}, Action::usage_error, {}, {}, 120, "durata non valida"},
        {{"-fi", "--durata=+5"}, Action::usage_error, {}, {}, 120, "durata non valida"},
        {{"-fi", "--durata=99999999999999999999"}, Action::usage_error, {}, {}, 120, "durata non valida"},
        {{"-ft", "--nome=U17"}, Action::usage_error, {}, {}, 120, "--nome vale solo con il formato i o p"},
        {{"-ft", "--sovrapposizioni=1"}, Action::usage_error, {}, {}, 120, "l'opzione --sovrapposizioni non vuole un valore"},
        {{"--f=i"}, Action::usage_error, {}, {}, 120, "opzione non riconosciuta o ambigua: --f=i"},
        {{"-fi", "--fuso=europe/rome"}, Action::usage_error, {}, {}, 120, "fuso orario non valido: \"europe/rome\" (Europe/Rome o locale)"},
        {{"-fi", "--fuso="}, Action::usage_error, {}, {}, 120, "fuso orario non valido: \"\""},
        {{"--fuso=locale", "-fp"}, Action::usage_error, {}, {}, 120, "--fuso vale solo con il formato i"},
        {{"-k"}, Action::usage_error, {}, {}, 120, "opzione non riconosciuta: -k"},
        {{"-ft", "-kz"}, Action::usage_error, {}, {}, 120, "opzione non riconosciuta: -k"},
        {{"--boh", "--help"}, Action::usage_error, {}, {}, 120, "opzione non riconosciuta o ambigua: --boh"},
        {{"--help=1"}, Action::usage_error, {}, {}, 120, "l'opzione --help non vuole un valore"},
    };
    // clang-format on
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& argument : row.arguments) {
            line += argument + " ";
        }
        const Options options = parse(row.arguments);
        EXPECT_EQ(options.action, row.action) << line << options.error;
        if (row.action == Action::run || row.action == Action::dropped) {
            EXPECT_EQ(options.calendars, row.calendars) << line;
        }
        if (row.action == Action::run) {
            EXPECT_EQ(options.format, row.format) << line;
            EXPECT_EQ(options.year_digits, row.years) << line;
            EXPECT_EQ(options.duration_minutes, row.minutes) << line;
            EXPECT_EQ(options.output, row.output) << line;
            EXPECT_EQ(options.overlaps, row.overlaps) << line;
            EXPECT_EQ(options.zone, row.zone) << line;
            EXPECT_EQ(options.name, row.name) << line;
        }
        if (row.action == Action::usage_error) {
            EXPECT_NE(options.error.find(row.error), std::string::npos)
                << line << ": " << options.error;
        }
    }
}

TEST(Console, LatinOneTextsInTheConsoleEncoding) {
    const std::string text = "Di quante cifre \xE8 composto l'anno\n";
    EXPECT_EQ(to_console(text, ConsoleEncoding::latin1), text);
    EXPECT_EQ(to_console(text, ConsoleEncoding::utf8),
              "Di quante cifre \xC3\xA8 composto l'anno\n");
    // Every other byte above ASCII takes its two UTF-8 bytes too, and ASCII stays as it is.
    EXPECT_EQ(to_console("\x80\xBF\xC0\xFF\x7F", ConsoleEncoding::utf8),
              "\xC2\x80\xC2\xBF\xC3\x80\xC3\xBF\x7F");

    // The system's reason is already in the locale's encoding: it is not converted again.
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, ConsoleEncoding::utf8);
    console.say("\xE8");
    console.warn("gironario: \xE8\n");
    console.report("temp.txt", "\xE8", 0);
    EXPECT_EQ(out.str(), "\xC3\xA8");
    EXPECT_EQ(err.str(), std::string("gironario: \xC3\xA8\ngironario: temp.txt: \xC3\xA8: ") +
                             std::strerror(0) + "\n");
}

}  // namespace
}  // namespace gironario
