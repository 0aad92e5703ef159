// A season published run after run, in memory: the phone's events stay themselves over 1.3.0's
// file, a new download sorted otherwise and saved as a copy, and a calendar named twice; a match
// of two calendars is one entry of the page.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "console_texts.hpp"
#include "driver/batch.hpp"
#include "memory_folder.hpp"

namespace gironario {
namespace {

const std::string HEAD = "Gara N;Data;Ora;Campionato;Casa;Ospiti;Palestra\n";
const std::string A = "101;04/10/2026;18:00;U17;Lorvane;Borgo;PalaA\n";
const std::string B = "1;05/10/2026;18:00;U15;Lorvane;Alfa;PalaB\n";
const std::string C = "1;04/10/2026;21:00;U17;Beta;Lorvane;PalaC\n";
const std::string FEED =
    "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:ev1@app\r\nDTSTART:20261010T160000Z\r\nSUMMARY:Lorvane "
    "- Gamma\r\nLOCATION:PalaD\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
const std::string DERBY =
    "Data;Ora;Casa;Ospiti;Palestra\n11/10/2026;17:00;Lorvane U17;Lorvane "
    "U15;PalaA\n";

// The file 1.3.0 wrote of Gare.csv and the feed: the rows by number and occurrence.
const std::string BY_1_3_0 =
    "BEGIN:VCALENDAR\r\nPRODID:-//Polisportiva Lorvane//gironario 1.3.0//IT\r\nX-WR-RELCALID:00ff"
    "\r\nBEGIN:VEVENT\r\nUID:101-1-Gare.csv-00ff@gironario\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:1-"
    "1-"
    "Gare.csv-00ff@gironario\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:1-2-Gare.csv-00ff@"
    "gironario\r\nEND"
    ":VEVENT\r\nBEGIN:VEVENT\r\nUID:ev1@app-app.ics-00ff@gironario\r\nDTSTART;TZID=Europe/Rome:2026"
    "1010T180000\r\nDTEND;TZID=Europe/Rome:20261010T200000\r\nSUMMARY:Lorvane - Gamma\r\nLOCATION:"
    "PalaD\r\nDESCRIPTION:Gara 1\\, app.ics\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

// What a result shows of its matches, in order: its UIDs, or "|" for each entry and its tags.
std::string shown(const std::string& result) {
    static const std::regex part("UID:([^\r]*)|<span class=\"tag c[0-9]\">([^<]*)|<li");
    std::string text;
    for (std::sregex_iterator at(result.begin(), result.end(), part), end; at != end; ++at) {
        text += (*at)[1].matched ? (*at)[1].str() : (*at)[2].matched ? (*at)[2].str() : "|";
        text += ' ';
    }
    return text;
}

TEST(SeasonRuns, OneEventForEachMatch) {
    const std::string same = "Rispetto al calendario di prima: 0 gare cambiate, 0 nuove, 0 tolte\n";
    const std::string uids =
        "gara-101-U17-00ff@gironario gara-1-U17-00ff@gironario "
        "gara-1-U15-00ff@gironario ev1@app-app.ics-00ff@gironario ";
    const auto twice = [](const std::string& where, const std::string& first) {
        return "gironario: " + where + ": la gara " + first + ", ed \xE8 una sola in calendario";
    };
    const struct {
        std::vector<std::pair<std::string, std::string>> files;  // put in the folder first
        std::vector<std::string> arguments;
        std::string out, errors, shown;
    } runs[] = {
        // Over 1.3.0's file the feed's event keeps its UID, the rows' change once.
        {{{"Gare.csv", HEAD + A + B + C}, {"app.ics", FEED}, {"calendario.ics", BY_1_3_0}},
         {"-f", "i", "Gare.csv", "app.ics"},
         console::summary(4, "calendario.ics") + same +
             "3 gare ora sono note dal loro codice: il loro UID cambia questa volta sola\n",
         "",
         uids},
        {{{"Gare (1).csv", HEAD + C + B + A}},
         {"-f", "i", "Gare (1).csv", "app.ics"},
         console::summary(4, "calendario.ics") + same,
         "",
         uids},
        {{},
         {"-f", "i", "Gare.csv", "Gare.csv", "app.ics"},
         console::summary(4, "calendario.ics") + same,
         twice("Gare.csv:2", "101 \xE8 anche in Gare.csv:2") + ".ics\n" +
             twice("Gare.csv:4", "1 \xE8 anche in Gare.csv:4") + ".ics\n" +
             twice("Gare.csv:3", "1 \xE8 anche in Gare.csv:3") + ".ics\n",
         uids},
        {{{"u17.csv", DERBY}, {"u15.csv", DERBY}},
         {"-f", "p", "u17.csv", "u15.csv"},
         console::summary(1, "calendario-pagina.html"),
         twice("u15.csv:2", "1 \xE8 anche in u17.csv:2") + "-pagina.html\n",
         "| u17 u15 "},
    };
    MemoryFolder folder;
    for (const auto& run : runs) {
        folder.files.insert(run.files.begin(), run.files.end());
        std::vector<char*> argv{const_cast<char*>("gironario")};
        for (const std::string& argument : run.arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        std::ostringstream out, err;
        Console console(out, err, ConsoleEncoding::latin1);
        const Options options = parse_options(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(run_batch(options, console, folder, 1791100000), 0);
        EXPECT_EQ(out.str() + err.str(), run.out + run.errors);
        const bool page = run.arguments[1] == "p";
        EXPECT_EQ(shown(folder.files[page ? "calendario-pagina.html" : "calendario.ics"]),
                  run.shown);
    }
}

}  // namespace
}  // namespace gironario
