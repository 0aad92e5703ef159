// The program run from a script: options instead of answers, year digits found in the calendars,
// tables and iCalendar files among the calendars, --squadra, the iCalendar export, and the console
// texts in the locale's encoding.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_harness.hpp"
#include "fixtures/zip_builder.hpp"

namespace {

using namespace gironario::e2e;
using namespace gironario::console;
using namespace std::string_literals;

// The example calendars with four-digit years in calendario1.txt, and what they merge into.
const std::string four_digit_1 =
    "Girone di andata\n1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - "
    "Gamma\n";
const std::vector<File> mixed_years = calendars(four_digit_1, line_4 + line_5);

// A calendar with a one-digit day, a note that starts with a number, a line out of order, and the
// merged text the two-digit calendar makes with it.
const std::string flawed_1 =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n"
    "12 gennaio: riposo\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n"
    "3 4/10/07 18:00 PalaA Alfa - Delta\n"
    "4 05/10/07 18:00 PalaA Alfa - Eta\n";
const std::string flawed_warnings =
    "gironario: calendario1.txt:2: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga resta "
    "dopo la precedente del suo calendario\n"
    "gironario: calendario1.txt:4: la gara viene prima della precedente: il calendario non \xE8 "
    "in ordine di data e ora\n";

// The note stays after the match before it; the one-digit day is read by its date, and written
// in the columns.
const std::string flawed_merged =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n12 gennaio: riposo\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n"
    "3 04/10/07 18:00 PalaA Alfa - Delta\n4 05/10/07 18:00 PalaA Alfa - Eta\n";

const std::string no_file = "No such file or directory";
const bool posix_only = true;

// A case run from the command line, which prints the summary alone; standard input holds answers
// that must never be read.
Case command(std::string name, std::string arguments, std::vector<File> files, std::string output,
             std::vector<File> written, int status = 0, std::string errors = {},
             bool only_on_posix = false) {
    Case row{std::move(name),    "t\n2\n2\nn\n", std::move(files),  std::move(output),
             std::move(written), status,         std::move(errors), only_on_posix};
    row.arguments = std::move(arguments);
    return row;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Options, EndToEnd, testing::Values(
    // The same files as the dialogue given the same answers.
    command("TextWithBothYears", "-f t -a 4,2", mixed_years,
            summary(4, "calendario.txt"), {{"calendario.txt", merged}}),
    command("WordLongOptions", "--formato=W --anni=4,2", mixed_years,
            summary(4, "calendario.doc"), {{"calendario.doc", merged}}),
    command("SpreadsheetAbbreviated", "--form x -a 2", example(),
            summary(4, "calendario.xls"),
            {{"temp.txt", merged}, {"calendario.xls", spreadsheet}}),
    command("WebPageAfterDoubleDash", "-fh -a2 --", example(),
            summary(4, "calendario.html"),
            {{"temp.txt", merged}, {"calendario.html", web_page}}),
    // auto finds four digits in calendario1.txt and two in calendario2.txt.
    command("AutoYears", "-f t", mixed_years,
            summary(4, "calendario.txt"), {{"calendario.txt", merged}}),
    command("AutoForOneCalendar", "-f t -a auto,2", mixed_years,
            summary(4, "calendario.txt"), {{"calendario.txt", merged}}),
    // A calendar read once: its year digits found in what standard input gave.
    [] {
        Case row = command("AutoFromStandardInput", "-f t - calendario2.txt",
                           {{"calendario2.txt", line_4 + line_5}}, summary(4, "calendario.txt"),
                           {{"calendario.txt", merged}});
        row.input = four_digit_1;
        return row;
    }(),
    // An empty calendar counts as two-digit: the other is copied whole.
    // A listing copied from pages: a heading's day, prose, columns, dates without their year
    // read near the run's day (15/01/2026).
    [] {
        Case row = command(
            "ListingFromWebPagesAndPdfs", "-f t --luogo=Palestra\\ Pascoli",
            calendars("Giornata 1 - sab 20/12\n"
                      "ore 17.30 Alfa-Beta (Palestra Pascoli)\n"
                      "N. | Ora | Squadra A | Squadra B | Campo\n"
                      "9 | 18:00 | Gamma | Delta | PalaB\n",
                      "   12) ALFA        BETA        CAMPO 2   20/12/25 18:00\n"
                      "3 \xE2\x80\x93 Eta-Zeta (domenica 11 gennaio, ore 21)\n"),
            summary(4, "calendario.txt"),
            {{"calendario.txt",
              "1 20/12/25 17:30 Palestra\xC2\xA0Pascoli Alfa-Beta (Palestra Pascoli)\n"
              "9 20/12/25 18:00 PalaB Gamma - Delta\n"
              "12 20/12/25 18:00 CAMPO\xC2\xA0"
              "2 ALFA - BETA\n\n"
              "3 11/01/26 21:00 - Eta-Zeta\n"}});
        row.options.environment = {{"SOURCE_DATE_EPOCH", "1768435200"}};
        return row;
    }(),
    command("AutoWithAnEmptyCalendar", "-f t", calendars("", four_digit_1),
            summary(2, "calendario.txt"),
            {{"calendario.txt", "1 06/10/07 18:00 PalaA Alfa - Beta\n"
                                "2 13/10/07 18:00 PalaA Alfa - Gamma\n"}}),
    // Warnings as the dialogue gives them; the files and the status are those of a good run.
    command("Warnings", "-f t -a 2", calendars(flawed_1, line_4 + line_5),
            summary(7, "calendario.txt"), {{"calendario.txt", flawed_merged}},
            0, flawed_warnings)),
    row_name);

// Calendars named on the command line, in folders or starting with "-", and -o.
const std::string line_u15 = "7 06/10/07 18:00 PalaC U15 - Alfa\n";
const std::string line_late = "6 12/10/07 18:00 PalaB Eta - Zeta\n";
const std::vector<File> three_teams = {
    directory("squadre"), directory("sito"),
    {"squadre/prima.txt", four_digit_1},
    {"squadre/u17.txt", line_4 + line_5 + line_late},
    // Saved by Windows Notepad as UTF-8: a byte-order mark before the first match.
    {"-u15.txt", "\xEF\xBB\xBF" + line_u15},
};
const std::string three_merged =
    line_1 + line_u15 + "\n" + line_4 + "\n" + line_2 + line_5 + "\n" + line_late;
const std::string out_of_order_u17 =
    "gironario: squadre/u17.txt:3: la gara viene prima della precedente: il calendario non \xE8 "
    "in ordine di data e ora\n";

// 300 calendars of one match each, named by a pattern: the last of them by date comes first.
Case three_hundred_calendars() {
    std::vector<File> files;
    std::string merged_text;
    for (int i = 0; i < 300; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "c%03d.txt", i);
        char line[64];
        std::snprintf(line, sizeof line, "%d %02d/%02d/26 18:00 Pala%d A - B\n", i + 1,
                      i % 28 + 1, 12 - i / 28, i);
        files.push_back({name, line});
    }
    // Month 12 down to 2, day 1 to 28: the merge undoes the order of the names.
    for (int month = 2; month <= 12; ++month) {
        for (int i = 0; i < 300; ++i) {
            if (12 - i / 28 == month) {
                merged_text += files[static_cast<std::size_t>(i)].bytes + "\n";
            }
        }
    }
    merged_text.pop_back();  // the last match is the rest of its calendar
    return command("ThreeHundredCalendars", "-f t -a 2 -o tutte.txt c*.txt", files,
                   summary(300, "tutte.txt"), {{"tutte.txt", merged_text}});
}

INSTANTIATE_TEST_SUITE_P(Calendars, EndToEnd, testing::Values(
    command("ThreeNamedAndAnOutput",
            "-f t -a 4,2,2 -o sito/calendario.txt squadre/prima.txt squadre/u17.txt -- -u15.txt",
            three_teams, summary(6, "sito/calendario.txt"),
            {{"sito/calendario.txt", three_merged}}, 0, out_of_order_u17),
    command("OneCalendar", "-f t squadre/u17.txt", three_teams, summary(3, "calendario.txt"),
            {{"calendario.txt", line_4 + line_5 + line_late}}, 0, out_of_order_u17),
    // A table straight from the merge, without temp.txt, the same bytes as through it.
    command("TableWithoutTemp", "-f x -a 2 -o foglio.xls", example(),
            summary(4, "foglio.xls"), {{"foglio.xls", spreadsheet}}),
    command("WebPageOnStandardOutput", "-f h -a 2 -o -", example(), web_page, {}, 0,
            "\n4 gare presenti complessivamente\n- Gironario successfully executed - "
            "Congratulations by Lorvane -\nComplimenti! Il tuo calendario \xE8 stato scritto "
            "sullo standard output\n"),
    command("OutputIsANamedCalendar", "-f t -a 2 -o squadre/u17.txt -- -u15.txt squadre/u17.txt",
            three_teams, "", {}, 1, refused_as("squadre/u17.txt", "squadre/u17.txt")),
    three_hundred_calendars(),
    // A device keeps nothing to compare the new calendar with, and is not a calendar of before.
    command("DeviceHasNoPreviousFile", "-f i -o /dev/null", example(), summary(4, "/dev/null"),
            {}, 0, {}, posix_only)),
    row_name);

// Nothing is created or emptied when a calendar is missing or its years cannot be told.
INSTANTIATE_TEST_SUITE_P(Failures, EndToEnd, testing::Values(
    command("MissingCalendar", "-f t -a 2", {{"calendario1.txt", line_1 + line_2},
                                             {"calendario.txt", "gi\xE0 scritto\n"}},
            "", {}, 1, failure("calendario2.txt", "impossibile aprire il file", no_file)),
    command("MissingCalendarAuto", "-f h", {{"calendario2.txt", line_4 + line_5}},
            "", {}, 1, failure("calendario1.txt", "impossibile aprire il file", no_file)),
    // As many lines in place either way: both calendars are named.
    command("YearsCannotBeTold", "-f x",
            calendars("1 04/10/26 18:00 A\n2 11/10/2026 18:00 B\n",
                      "3 04/10/26 18:00 A\n4 11/10/2026 18:00 B\n"),
            "", {}, 1,
            "gironario: calendario1.txt: non si capisce se l'anno delle date ha 2 o 4 cifre; "
            "indicarlo con -a (per esempio -a 4,2)\n"
            "gironario: calendario2.txt: non si capisce se l'anno delle date ha 2 o 4 cifre; "
            "indicarlo con -a (per esempio -a 4,2)\n"),
    // No line in place either way: none depends on the year digits, and none can be dated.
    command("NoLineDependsOnTheYears", "-f x", calendars("1 x\n", "2 y\n3 z\n"), "", {}, 1,
            "gironario: calendario1.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga "
            "resta dopo la precedente del suo calendario\n"
            "gironario: calendario2.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga "
            "resta dopo la precedente del suo calendario\n"
            "gironario: calendario2.txt:2: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga "
            "resta dopo la precedente del suo calendario\n"
            "gironario: calendario1.txt: nessuna riga di gara ha una data e un'ora leggibili "
            "(numero, gg/mm/aa, hh:mm, luogo e partita): non viene scritto nulla\n"
            "gironario: calendario2.txt: nessuna riga di gara ha una data e un'ora leggibili "
            "(numero, gg/mm/aa, hh:mm, luogo e partita): non viene scritto nulla\n"),
    command("OutputIsACalendar", "-f t -a 2",
            example({symlink_to("calendario.txt", "calendario1.txt")}), "", {}, 1,
            refused_as("calendario.txt", "calendario1.txt"), posix_only),
    command("FullDisk", "-f w -a 2", example({symlink_to("calendario.doc", "/dev/full")}),
            "", {}, 1, failure("calendario.doc", "errore di scrittura", "No space left on device"),
            posix_only),
    // A calendar that fails only once the merge reads it leaves the earlier output as it was.
    command("CalendarIsAFolder", "-f t -a 4,2",
            {{"calendario1.txt", four_digit_1}, directory("calendario2.txt"),
             {"calendario.txt", "gi\xE0 scritto\n"}},
            "", {}, 1, failure("calendario2.txt", "errore di lettura", "Is a directory"),
            posix_only)),
    row_name);

// In a UTF-8 locale the console gets UTF-8; the files keep their bytes.
Case in_utf8(Case row) {
    row.options.environment = {{"LC_ALL", "C.UTF-8"}};
    row.posix_only = true;  // Windows consoles are given code page 1252 instead
    return row;
}

std::string utf8(std::string text) {
    std::string result;
    for (const char c : text) {
        if (c == '\xE8') {
            result += "\xC3\xA8";
        } else {
            result += c;
        }
    }
    return result;
}

INSTANTIATE_TEST_SUITE_P(Locale, EndToEnd, testing::Values(
    in_utf8(Case{"DialogueInUtf8", "t\n3\n2\n2\nn\n", calendars(flawed_1, line_4 + line_5),
                 utf8(format_question + year_question_1 + year_refused + year_question_1 +
                      year_question_2 + summary(7, "calendario.txt") + restart_question),
                 {{"calendario.txt",
                   flawed_merged}},
                 0, utf8(flawed_warnings)}),
    in_utf8(Case{"InputEndsInUtf8", "", example(), format_question, {}, 1, utf8(input_ended)}),
    // Calendars and their merge keep their Latin-1 bytes whatever the console's encoding.
    in_utf8(command("FilesKeepTheirBytes", "-f t -a 2",
                    calendars("1 06/10/07 18:00 Pala\xE8 Citt\xE0\n", "2 06/10/07 19:00 B \xC3\xA8\n"),
                    summary(2, "calendario.txt"),
                    {{"calendario.txt",
                      "1 06/10/07 18:00 Pala\xE8 Citt\xE0\n2 06/10/07 19:00 B \xC3\xA8\n"}})),
    // A file's name and places reach the console as they are in UTF-8, from Windows-1252 else.
    in_utf8(command("FileWordsInUtf8", "-f t citt\xC3\xA0.txt",
                    {{"citt\xC3\xA0.txt", "1 04/10/26 18:00 Pal\xE8 A\n2 04/10/26 18:30 Pal\xE8 B\n"}},
                    summary(2, "calendario.txt"),
                    {{"calendario.txt", "1 04/10/26 18:00 Pal\xE8 A\n2 04/10/26 18:30 Pal\xE8 B\n"}}, 0,
                    "gironario: citt\xC3\xA0.txt:2: Pal\xC3\xA8 \xC3\xA8 occupato anche dalla gara 1 di "
                    "citt\xC3\xA0.txt (riga 1), 04/10/2026 18:00-20:00\n"))),
    row_name);
// clang-format on

// The workbooks of tests/fixtures/calendars, made by make_calendars.py.
const std::string committed = GIRONARIO_SOURCE_DIR "/tests/fixtures/calendars";

// A text calendar, a federation's table and a team app's feed, merged: the table out of order,
// with a title row, ="..." cells, CR LF, a place of two words, a time to be set and a rest day;
// the feed in UTC, with an event without a place and a cancelled one.
const std::string prima =
    "Prima squadra\n1 04/10/26 18:00 PalaA Alfa - Beta\n"
    "2 11/10/26 18:00 PalaA Alfa - Gamma\n";
const std::vector<File> sources = {
    {"prima.txt", prima},
    {"coppa.csv",
     "=\"Coppa - Calendario\";;;;;;\r\nDATA;ORA;PARTITA;OSPITANTE;OSPITE;CAMPO;COMUNE\r\n"
     "=\"07/10/2026\";=\"21:00\";=\"31\";=\"Alfa\";=\"Delta\";=\"Pala Nord\";=\"Nordia\"\r\n"
     "=\"04/10/2026\";=\"18:00\";=\"32\";=\"Eta\";=\"Zeta\";=\"PalaB\";\r\n"
     "=\"08/10/2026\";=\"da definire\";=\"33\";=\"Beta\";=\"Alfa\";=\"Pala Sud\";\r\n"
     "=\"08/10/2026\";;=\"34\";=\"Gamma\";=\"RIPOSO\";;\r\n"},
    {"app.ics",
     "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:20261005T160000Z\r\nSUMMARY:Alfa - Eta\r\n"
     "END:VEVENT\r\nBEGIN:VEVENT\r\nDTSTART:20261030T170000Z\r\nSUMMARY:Alfa - Theta\r\n"
     "STATUS:CANCELLED\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"},
};
const std::string sources_arguments = "prima.txt coppa.csv app.ics";
const std::string cancelled =
    "gironario: app.ics:6: evento annullato (STATUS:CANCELLED): non viene letto\n";
const std::string to_be_set = "gironario: coppa.csv:5: gara 33: ora non leggibile: \"da definire\"";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sources, EndToEnd, testing::Values(
    // By date and time; at a tie the calendar named first; the place one cell; no place is "-".
    command("TextTableAndIcs", "-f t " + sources_arguments, sources,
            summary(5, "calendario.txt"),
            {{"calendario.txt", "1 04/10/26 18:00 PalaA Alfa - Beta\n"
                                "32 04/10/26 18:00 PalaB Eta - Zeta\n\n"
                                "1 05/10/26 18:00 - Alfa - Eta\n\n"
                                "31 07/10/26 21:00 Pala\xC2\xA0Nord Alfa - Delta\n\n"
                                "2 11/10/26 18:00 PalaA Alfa - Gamma\n"}},
            0, to_be_set + ", la gara non viene scritta\n" + cancelled),
    // Not one row dated: nothing is written, and the calendar of before stays.
    command("TableWithNoDatedRow", "-f t prima.txt sede.csv",
            {{"prima.txt", prima}, {"sede.csv", "Data;Ora;Casa;Ospite\n04/10/2026;;A;B\n"
                                                "05/10/2026;rinviata;C;D\n"},
             {"calendario.txt", "gi\xE0 scritto\n"}},
            "", {}, 1,
            "gironario: sede.csv: nessuna riga ha una data e un'ora leggibili (una colonna Data "
            "e una Ora, per esempio 04/10/2026 e 18:00): non viene scritto nulla\n"),
    // A text calendar whose match lines are all still to be set: the same.
    command("TextWithNoDatedLine", "-f t -a 2 prima.txt u17.txt",
            {{"prima.txt", prima}, {"u17.txt", "1 da definire\n"}}, "", {}, 1,
            "gironario: u17.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga resta "
            "dopo la precedente del suo calendario\ngironario: u17.txt: nessuna riga di gara ha "
            "una data e un'ora leggibili (numero, gg/mm/aa, hh:mm, luogo e partita): non viene "
            "scritto nulla\n"),
    // On standard output as well: nothing is written by a run that fails.
    command("TextWithNoDatedLineOnStandardOutput", "-f t -a 2 -o - prima.txt u17.txt",
            {{"prima.txt", prima}, {"u17.txt", "1 da definire\n"}}, "", {}, 1,
            "gironario: u17.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): la riga resta "
            "dopo la precedente del suo calendario\ngironario: u17.txt: nessuna riga di gara ha "
            "una data e un'ora leggibili (numero, gg/mm/aa, hh:mm, luogo e partita): non viene "
            "scritto nulla\n"),
    command("NotAnIcalendarFile", "-f i prima.txt app.ics",
            {{"prima.txt", prima}, {"app.ics", "Gara 1 sabato alle 18\n"}}, "", {}, 1,
            "gironario: app.ics: non \xE8 un calendario iCalendar (manca BEGIN:VCALENDAR)\n"),
    // A file that yields nothing, or that is no calendar, fails the run and changes no file.
    command("HeadingsOnly", "-f t -a 2 prima.txt u17.txt",
            {{"prima.txt", prima}, {"u17.txt", "Girone A\nGiornata 1\n"},
             {"calendario.txt", "gi\xE0 scritto\n"}}, "", {}, 1,
            "gironario: u17.txt: nessuna riga \xE8 una gara: si cercano righe con numero, data, "
            "ora, luogo e partita (per esempio \"1 04/10/2026 18:00 PalaLorvane Lorvane - "
            "Virtus\"), e il file ha solo altro testo: non viene scritto nulla\n"),
    command("AWebPageWithoutDates", "-f t prima.txt pagina.htm",
            {{"prima.txt", prima},
             {"pagina.htm", "<html><table><tr><th>Casa<th>Ospite<tr><td>A<td>B</table></html>"}},
            "", {}, 1,
            "gironario: pagina.htm: \xE8 una pagina web, ma nessun foglio ha tra le prime dieci "
            "righe quella che nomina la colonna della data (si cercano le intestazioni Data, Date, "
            "Giorno, Data gara, Data partita, Data incontro, Data evento, Data ora, Data e ora, "
            "Data/ora, Match date, Date time, Date/time)\n"),
    // A committee's export, as .xlsx saved under an .xls name and as a real 97-2003 .xls.
    command("Workbooks", "-f t prima.txt Gare.xls vecchio.xls",
            {{"prima.txt", prima}, {"Gare.xls", list_folder(committed).at("gare.xlsx").bytes},
             {"vecchio.xls", list_folder(committed).at("gare.xls").bytes}},
            summary(8, "calendario.txt"),
            {{"calendario.txt",
              "282 03/10/26 15:00 Palestra\xC2\xA0Pascoli Citta - Lorvane\n"
              "282 03/10/26 15:00 Palestra\xC2\xA0Pascoli Citta - Lorvane\n\n"
              "1 04/10/26 18:00 PalaA Alfa - Beta\n"
              "443 04/10/26 18:30 PalaLorvane Lorvane - Borgo\n"
              "443 04/10/26 18:30 PalaLorvane Lorvane - Borgo\n\n"
              "444 11/10/26 11:00 PalaAlfa Alfa - Lorvane\n"
              "444 11/10/26 11:00 PalaAlfa Alfa - Lorvane\n\n"
              "2 11/10/26 18:00 PalaA Alfa - Gamma\n"}}),
    // Gyms of two words, named: one place each, not "Palestra" booked twice; the lines as written.
    command("PlacesOfSeveralWords",
            "-f t -a 2 --luogo='Palestra Pascoli' --luogo='Palestra Rossi' a.txt b.txt",
            {{"a.txt", "1 04/10/26 18:00 Palestra Pascoli A - B\n"},
             {"b.txt", "2 04/10/26 18:00 Palestra Rossi C - D\n"}},
            summary(2, "calendario.txt"),
            {{"calendario.txt", "1 04/10/26 18:00 Palestra Pascoli A - B\n"
                                "2 04/10/26 18:00 Palestra Rossi C - D\n\n"}}),
    // A Word document's paragraphs are a text calendar's lines.
    command("AWordDocument", "-f t -a 2 prima.txt u14.docx",
            {{"prima.txt", prima},
             {"u14.docx", gironario::testing::docx(
                              "<w:p><w:r><w:t>Under 14</w:t></w:r></w:p><w:p><w:r><w:t>"
                              "7 05/10/26 10:00 PalaB Gamma - Delta</w:t></w:r></w:p>")}},
            summary(3, "calendario.txt"),
            {{"calendario.txt", "1 04/10/26 18:00 PalaA Alfa - Beta\n\n"
                                "7 05/10/26 10:00 PalaB Gamma - Delta\n\n"
                                "2 11/10/26 18:00 PalaA Alfa - Gamma\n"}}),
    // A web page saved with the name of a text calendar, read by what it is.
    command("AWebPage", "-f t prima.txt gare.txt",
            {{"prima.txt", prima},
             {"gare.txt", "<!DOCTYPE html><html><body><table>\n<tr><th>Gara N<th>Data<th>Ora"
                          "<th>Casa<th>Ospite<th>Campo</tr>\n<tr><td>443<td>04/10/2026<td>18.30"
                          "<td>Alfa<td>Beta<td>PalaC</tr></table>"}},
            summary(3, "calendario.txt"),
            {{"calendario.txt", "1 04/10/26 18:00 PalaA Alfa - Beta\n"
                                "443 04/10/26 18:30 PalaC Alfa - Beta\n\n"
                                "2 11/10/26 18:00 PalaA Alfa - Gamma\n"}}),
    // A row of a UTF-8 table beside a calendar in Windows-1252: one encoding in the file, the
    // text line's bytes as they were.
    command("OneEncodingPerFile", "-f t -a 2 u17.txt coppa.csv",
            {{"u17.txt", "1 04/10/26 18:00 PalaA Societ\xE0 - Beta\n"},
             {"coppa.csv", "Data;Ora;Casa;Ospite;Campo\n05/10/2026;18:00;Citt\xC3\xA0;Alfa;Pala Nord\n"}},
            summary(2, "calendario.txt"),
            {{"calendario.txt", "1 04/10/26 18:00 PalaA Societ\xE0 - Beta\n\n"
                                "1 05/10/26 18:00 Pala\xA0Nord Citt\xE0 - Alfa\n"}}),
    // One team kept, in either case; the feed names it nowhere and is told.
    command("OneTeam", "-f t --squadra=GAMMA prima.txt app.ics", sources,
            summary(1, "calendario.txt"),
            {{"calendario.txt", "2 11/10/26 18:00 PalaA Alfa - Gamma\n"}},
            0, cancelled + "gironario: app.ics: nessuna gara di questo calendario nomina le "
                        "squadre di --squadra\n")),
    row_name);
// clang-format on

// The page and the phone calendar of the same run: the row whose time is to be set stands on its
// day, counted and not told; once its time is set, its event keeps its UID and is timed.
TEST(Sources, PageAndPhonePlaceTheMatchWhoseTimeIsToBeSet) {
    Scratch scratch;
    lay_out(scratch.folder(), sources);
    const Outcome outcome = run_program(scratch, "-f p " + sources_arguments, "");
    expect_bytes(outcome.output, as_written(summary(6, "calendario-pagina.html")),
                 "standard output");
    expect_errors(outcome.errors, cancelled);
    EXPECT_EQ(outcome.status, 0);
    const std::string page = list_folder(scratch.folder()).at("calendario-pagina.html").bytes;
    const std::size_t day = page.find("<h2>gioved&igrave; 8 ottobre 2026</h2>");
    ASSERT_NE(day, std::string::npos) << shown(page);
    expect_bytes(page.substr(day, page.find("</section>", day) - day),
                 "<h2>gioved&igrave; 8 ottobre 2026</h2>\n<ul>\n<li><time datetime=\"2026-10-08\">"
                 "ora da definire</time> <strong>Beta - Alfa</strong> <em>Pala Sud</em> <span "
                 "class=\"tag c1\">coppa</span></li>\n</ul>\n",
                 "calendario-pagina.html");
    EXPECT_EQ(page.find("Da controllare"), std::string::npos);

    // The event of the calendar file that starts with `uid`, up to its END:VEVENT, holding `lines`.
    const auto event_with = [&](const std::string& uid, std::vector<std::string> lines) {
        const std::string ics = list_folder(scratch.folder()).at("calendario.ics").bytes;
        const std::size_t at = ics.find(uid);
        const std::string event =
            at == std::string::npos ? "" : ics.substr(at, ics.find("END:VEVENT", at) - at);
        for (const std::string& line : lines) {
            EXPECT_NE(event.find(line), std::string::npos) << line << shown(ics);
        }
        return event;
    };
    const RunOptions fixed_time{{{"SOURCE_DATE_EPOCH", "1796169600"}}};
    const Outcome phone = run_program(scratch, "-f i " + sources_arguments, "", fixed_time);
    expect_bytes(phone.output, as_written(summary(6, "calendario.ics")), "standard output");
    expect_errors(phone.errors, cancelled);
    const std::string event = event_with(
        "UID:33-1-coppa.csv-",
        {"DTSTART;VALUE=DATE:20261008\r\nDTEND;VALUE=DATE:20261009\r\n",
         "SUMMARY:Beta - Alfa (ora da definire)\r\n", "STATUS:TENTATIVE\r\n", "SEQUENCE:0\r\n"});

    std::vector<File> timed = sources;
    timed[1].bytes.replace(timed[1].bytes.find("da definire"), 11, "20:30");
    lay_out(scratch.folder(), {timed[1]});
    const Outcome again = run_program(scratch, "-f i " + sources_arguments, "", fixed_time);
    EXPECT_NE(again.output.find("spostata: gara 33 (coppa.csv): dal 08/10/2026 ora da definire "
                                "Pala Sud al 08/10/2026 20:30 Pala Sud"),
              std::string::npos)
        << again.output;
    const std::string moved =
        event_with(event.substr(0, event.find('\r') + 2),
                   {"DTSTART;TZID=Europe/Rome:20261008T203000\r\n", "SEQUENCE:1\r\n"});
    EXPECT_EQ(moved.find("TENTATIVE"), std::string::npos) << shown(moved);
}

// The iCalendar file has its own tests through a real parser; here, what the run leaves around
// it, and that the same calendars give the same bytes again, with the list of changes after the
// summary.
TEST(Icalendar, FormatIWritesOnlyTheCalendarFile) {
    Scratch scratch;
    std::vector<File> files = calendars(four_digit_1 + "3 31/02/2008 18:00 PalaA Non esiste\n",
                                        line_4 + line_5 + "6 x\n");
    // A calendario.ics that is not a calendar is replaced, with a word.
    files.push_back({"calendario.ics", "appunti\n"});
    lay_out(scratch.folder(), files);
    const RunOptions fixed_time{{{"SOURCE_DATE_EPOCH", "1796169600"}}};
    const Outcome first = run_program(scratch, "-f i --durata=90", "", fixed_time);
    expect_bytes(first.output, as_written(summary(6, "calendario.ics")), "standard output");
    expect_errors(first.errors,
                  "gironario: calendario.ics: il file di prima non \xE8 un calendario scritto da "
                  "gironario: viene sostituito senza l'elenco dei cambiamenti\n"
                  // A line too short for its keys stays where it is.
                  "gironario: calendario2.txt:3: la data o l'ora non si legge (gg/mm/aa hh:mm): "
                  "la riga resta dopo la precedente del suo calendario, e la gara non \xE8 in "
                  "calendario.ics\n"
                  "gironario: calendario1.txt:4: gara 3 del 31/02/2008 alle 18:00: data o ora "
                  "inesistente, la gara non \xE8 in calendario.ics\n");
    EXPECT_EQ(first.status, 0);

    const Listing listing = list_folder(scratch.folder());
    ASSERT_EQ(listing.size(), 3u);  // no temp.txt
    const std::string ics = listing.at("calendario.ics").bytes;
    EXPECT_EQ(ics.rfind("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n", 0), 0u) << shown(ics);
    EXPECT_TRUE(ics.ends_with("END:VEVENT\r\nEND:VCALENDAR\r\n")) << shown(ics);
    EXPECT_EQ(ics.find("\r\r"), std::string::npos);
    std::size_t events = 0;
    for (std::size_t at = ics.find("BEGIN:VEVENT\r\n"); at != std::string::npos;
         at = ics.find("BEGIN:VEVENT\r\n", at + 1)) {
        ++events;
    }
    EXPECT_EQ(events, 4u);
    EXPECT_NE(ics.find("DTSTAMP:20261202T000000Z\r\n"), std::string::npos);
    EXPECT_NE(ics.find("DTSTART;TZID=Europe/Rome:20071006T180000\r\n"
                       "DTEND;TZID=Europe/Rome:20071006T193000\r\n"),
              std::string::npos);

    // A second run gives the same file, UIDs and all, and tells that nothing changed: a match
    // that cannot be read this time keeps its event as it was, and the warning says so.
    lay_out(scratch.folder(), {{"calendario2.txt", "4 da definire\n" + line_5 + "6 x\n"}});
    const Outcome second = run_program(scratch, "-f i --durata=90", "", fixed_time);
    EXPECT_EQ(second.status, 0);
    expect_bytes(second.output,
                 as_written(summary(6, "calendario.ics") +
                            "Rispetto al calendario di prima: 0 gare cambiate, 0 nuove, 0 "
                            "tolte\nnon letta: gara 4 (calendario2.txt) resta com'era\n"),
                 "standard output");
    expect_errors(second.errors.substr(0, second.errors.find('\n') + 1),
                  "gironario: calendario2.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): "
                  "la riga resta dopo la precedente del suo calendario, e la gara resta in "
                  "calendario.ics com'era\n");
    // The event kept comes where its line now stands: first.
    const std::size_t kept = ics.find("BEGIN:VEVENT\r\nUID:4-");
    const std::size_t kept_end = ics.find("END:VEVENT\r\n", kept) + 12;
    std::string moved = ics.substr(0, kept) + ics.substr(kept_end);
    moved.insert(moved.find("BEGIN:VEVENT"), ics.substr(kept, kept_end - kept));
    expect_bytes(list_folder(scratch.folder()).at("calendario.ics").bytes, moved, "calendario.ics");
}

}  // namespace
