// The built program as a user runs it, case by case (see e2e_harness.hpp for how each case runs
// and what it compares).

#include <csignal>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "e2e_harness.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using namespace gironario::console;
using namespace gironario::e2e;

// A four-digit calendar with a heading, whose numbers grow to three and four digits once the
// two-digit one has ended, and the two-digit calendar it meets.
const std::string four_digit_calendar =
    "Girone di andata\n"
    "9 06/10/2007 18:00 PalaA Alfa - Beta\n"
    "10 06/10/2007 20:00 PalaA Alfa - Gamma\n"
    "99 13/10/2007 18:00 PalaA Alfa - Delta\n"
    "100 20/10/2007 18:00 PalaA Alfa - Eta\n"
    "1000 27/10/2007 18:00 PalaA Alfa - Zeta\n";
const std::string two_digit_calendar =
    "1 06/10/07 18:00 PalaB Uno - Due\n"
    "2 06/10/07 21:00 PalaB Uno - Tre\n";
const std::string four_digit_rest =
    "99 13/10/07 18:00 PalaA Alfa - Delta\n"
    "100 20/10/07 18:00 PalaA Alfa - Eta\n"
    "1000 27/10/07 18:00 PalaA Alfa - Zeta\n";

// Each row: name, standard input, the folder before, standard output, the files written, exit
// status, standard error (the members of Case), laid out by hand to read as a table.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Dialogue, EndToEnd, testing::Values(
    Case{"FourAndTwoDigitYearsAsText", "T\n4\n2\nn\n",
         calendars("Girone di andata\n1 06/10/2007 18:00 PalaA Alfa - Beta\n"
                   "2 13/10/2007 18:00 PalaA Alfa - Gamma\n", line_4 + line_5),
         completed_run(4, "calendario.txt"), {{"calendario.txt", merged}}},
    Case{"Text", "t\n2\n2\nn\n", example(),
         completed_run(4, "calendario.txt"), {{"calendario.txt", merged}}},
    Case{"Word", "w\n2\n2\nn\n", example(),
         completed_run(4, "calendario.doc"), {{"calendario.doc", merged}}},
    Case{"Spreadsheet", "x\n2\n2\nn\n", example(),
         completed_run(4, "calendario.xls"),
         {{"temp.txt", merged}, {"calendario.xls", spreadsheet}}},
    Case{"WebPage", "h\n2\n2\nn\n", example(),
         completed_run(4, "calendario.html"),
         {{"temp.txt", merged}, {"calendario.html", web_page}}},
    Case{"RefusedFormatAskedAgain", "k\nh\n2\n2\nn\n", example(),
         format_question + format_refused + completed_run(4, "calendario.html"),
         {{"temp.txt", merged}, {"calendario.html", web_page}}},
    // 'x' is no number: refused, and only it and the character after it are consumed.
    Case{"RefusedYearDigitsAskedAgain", "t\n3\nx\n2\n5\n2\nn\n", example(),
         format_question + year_question_1 + year_refused + year_question_1 + year_refused +
             year_question_1 + year_question_2 + year_refused + year_question_2 +
             summary(4, "calendario.txt") + restart_question,
         {{"calendario.txt", merged}}},
    Case{"SecondRunRewritesTheFile", "w\n2\n2\ny\nw\n2\n2\nn\n",
         example({{"calendario.doc", std::string(300, '#') + "\n"}}),
         completed_run(4, "calendario.doc") + completed_run(4, "calendario.doc"),
         {{"calendario.doc", merged}}},
    // A tie, a same-day pair, then the rest of the four-digit calendar, whatever the width of
    // its numbers.
    Case{"FourDigitFirstCalendar", "t\n4\n2\nn\n",
         calendars(four_digit_calendar, two_digit_calendar), completed_run(7, "calendario.txt"),
         {{"calendario.txt",
           "9 06/10/07 18:00 PalaA Alfa - Beta\n1 06/10/07 18:00 PalaB Uno - Due\n\n"
           "10 06/10/07 20:00 PalaA Alfa - Gamma\n2 06/10/07 21:00 PalaB Uno - Tre\n\n" +
           four_digit_rest}}},
    Case{"FourDigitSecondCalendar", "t\n2\n4\nn\n",
         calendars(two_digit_calendar, four_digit_calendar), completed_run(7, "calendario.txt"),
         {{"calendario.txt",
           "1 06/10/07 18:00 PalaB Uno - Due\n9 06/10/07 18:00 PalaA Alfa - Beta\n\n"
           "10 06/10/07 20:00 PalaA Alfa - Gamma\n2 06/10/07 21:00 PalaB Uno - Tre\n\n" +
           four_digit_rest}}},
    // The CR is an ordinary byte at the end of the line; a last line without its line feed
    // gets one.
    Case{"CrLfCalendars", "t\n2\n2\nn\n",
         calendars("1 06/10/07 18:00 PalaA Alfa - Beta\r\n2 13/10/07 18:00 PalaA Alfa - Gamma\r\n",
                   "4 06/10/07 21:00 PalaB Delta - Eta\r\n5 13/10/07 18:00 PalaC Zeta - Delta"),
         completed_run(4, "calendario.txt"),
         {{"calendario.txt",
           "1 06/10/07 18:00 PalaA Alfa - Beta\r\n4 06/10/07 21:00 PalaB Delta - Eta\r\n\n"
           "2 13/10/07 18:00 PalaA Alfa - Gamma\r\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n"}}},
    // The gym booked twice is told on standard error alone.
    Case{"GymBookedTwice", "t\n2\n2\nn\n",
         calendars(line_1 + line_2, "3 06/10/07 19:00 pALAa Gamma - Delta\n"),
         completed_run(3, "calendario.txt"),
         {{"calendario.txt", line_1 + "3 06/10/07 19:00 pALAa Gamma - Delta\n\n" + line_2}}, 0,
         "gironario: calendario2.txt:1: pALAa \xE8 occupato anche dalla gara 1 di calendario1.txt "
         "(riga 1), 06/10/2007 18:00-20:00\n"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(InputEnds, EndToEnd, testing::Values(
    Case{"AtFormatQuestion", "", example(), format_question, {}, 1, input_ended},
    Case{"AfterRefusedFormat", "k", example(),
         format_question + format_refused + format_question, {}, 1, input_ended},
    // The output was created at the format question, but an earlier one stays as it was.
    Case{"AtFirstYearQuestion", "t\n", example(),
         format_question + year_question_1, {}, 1, input_ended},
    Case{"AtSecondYearQuestion", "t\n2\n", example({{"calendario.txt", "vecchio\n"}}),
         questions, {}, 1, input_ended},
    Case{"AtRestartQuestion", "t\n2\n2\n", example(),
         completed_run(4, "calendario.txt"), {{"calendario.txt", merged}}},
    Case{"AfterLastAnswerWithoutLineFeed", "t\n2\n2", example(),
         completed_run(4, "calendario.txt"), {{"calendario.txt", merged}}}),
    row_name);

const std::string no_space = "No space left on device";
const std::string no_file = "No such file or directory";
const bool posix_only = true;

INSTANTIATE_TEST_SUITE_P(Faults, EndToEnd, testing::Values(
    Case{"FullDiskForText", "t\n2\n2\nn\n", example({symlink_to("calendario.txt", "/dev/full")}),
         questions + restart_question, {}, 1,
         failure("calendario.txt", "errore di scrittura", no_space), posix_only},
    Case{"FullDiskForTemp", "x\n2\n2\nn\n", example({symlink_to("temp.txt", "/dev/full")}),
         questions + restart_question, {}, 1,
         failure("temp.txt", "errore di scrittura", no_space), posix_only},
    Case{"FullDiskForSpreadsheet", "x\n2\n2\nn\n",
         example({symlink_to("calendario.xls", "/dev/full")}),
         questions + restart_question, {{"temp.txt", merged}}, 1,
         failure("calendario.xls", "errore di scrittura", no_space), posix_only},
    Case{"FullDiskForWebPage", "h\n2\n2\nn\n",
         example({symlink_to("calendario.html", "/dev/full")}),
         questions + restart_question, {{"temp.txt", merged}}, 1,
         failure("calendario.html", "errore di scrittura", no_space), posix_only},
    // The year questions are not asked for an output that cannot be created.
    Case{"OutputIsDirectory", "t\nn\n", example({directory("calendario.txt")}),
         format_question + restart_question, {}, 1,
         failure("calendario.txt", "impossibile creare il file", "Is a directory")},
    Case{"TableTargetIsDirectory", "h\n2\n2\nn\n", example({directory("calendario.html")}),
         questions + restart_question, {{"temp.txt", merged}}, 1,
         failure("calendario.html", "impossibile creare il file", "Is a directory")},
    // Windows refuses to open a directory at all; here it opens and fails at the first read.
    Case{"CalendarIsDirectory", "t\n2\n2\nn\n",
         {directory("calendario1.txt"), {"calendario2.txt", line_4 + line_5}},
         questions + restart_question, {}, 1,
         failure("calendario1.txt", "errore di lettura", "Is a directory"), posix_only},
    Case{"MissingCalendar", "t\n2\n2\nn\n", {{"calendario1.txt", line_1 + line_2}},
         questions + restart_question, {}, 1,
         failure("calendario2.txt", "impossibile aprire il file", no_file)},
    Case{"MissingCalendarInSecondRun", "t\n2\n2\ny\n", example(),
         completed_run(4, "calendario.txt") + questions + restart_question,
         {{"calendario.txt", merged}}, 1,
         failure("calendario2.txt", "impossibile aprire il file", no_file),
         false, "calendario2.txt", "t\n2\n2\nn\n"},
    // The calendar is written, but the console text is lost: the run must not end as a success,
    // and the reason is the one the first failed write met.
    Case{"StandardOutputOnFullDisk", "t\n2\n2\nn\n", example(), "", {{"calendario.txt", merged}}, 1,
         "gironario: standard output: errore di scrittura: " + no_space + "\n", posix_only,
         {}, {}, {}, {.standard_output = "/dev/full"}},
    // NUL and bytes above 0x7F are copied as they are; in a key they order below the digits.
    Case{"NulAndHighBytes", "x\n2\n2\nn\n",
         calendars("\x80\xFF heading\n\0\n1 06/10/07 18:00 PalaA Alfa\0Beta \x80\xFF\n"s,
                   "4 \xE9\xE9/10/07 21:00 Pala\xE8 Delta - Eta\n"
                   "5 13/10/07 18:00 PalaC Zeta\0\0Delta\n"s),
         completed_run(3, "calendario.xls"),
         {{"temp.txt", "4 \xE9\xE9/10/07 21:00 Pala\xE8 Delta - Eta\n\n"
                       "1 06/10/07 18:00 PalaA Alfa\0Beta \x80\xFF\n\n"
                       "5 13/10/07 18:00 PalaC Zeta\0\0Delta\n"s},
          {"calendario.xls", "1\t4\t\xE9\xE9/10/07\t21:00\tPala\xE8\tDelta - Eta\n2\t\n"
                             "3\t1\t06/10/07\t18:00\tPalaA\tAlfa\0Beta \x80\xFF\n4\t\n"
                             "5\t5\t13/10/07\t18:00\tPalaC\tZeta\0\0Delta\n"s}},
         0, "gironario: calendario2.txt:1: la data o l'ora non si legge (gg/mm/aa hh:mm): la "
            "riga resta dopo la precedente del suo calendario\n"}),
    row_name);

// An output name that leads to a calendar (or, for a table, to temp.txt) would empty it.
INSTANTIATE_TEST_SUITE_P(Links, EndToEnd, testing::Values(
    Case{"SymlinkToCalendar", "t\nn\n",
         example({symlink_to("calendario.txt", "calendario1.txt")}),
         format_question + restart_question, {}, 1,
         refused_as("calendario.txt", "calendario1.txt"), posix_only},
    Case{"HardLinkToCalendar", "w\nn\n",
         example({hard_link("calendario.doc", "calendario2.txt")}),
         format_question + restart_question, {}, 1,
         refused_as("calendario.doc", "calendario2.txt")},
    Case{"TableTargetSymlinkToCalendar", "h\n2\n2\nn\n",
         example({symlink_to("calendario.html", "calendario1.txt")}),
         questions + restart_question, {{"temp.txt", merged}}, 1,
         refused_as("calendario.html", "calendario1.txt"), posix_only},
    // temp.txt is replaced, not written through both names: the old file stays under the other
    // name until the export replaces that too.
    Case{"TableTargetHardLinkToTemp", "x\n2\n2\nn\n",
         example({{"temp.txt", "old\n"}, hard_link("calendario.xls", "temp.txt")}),
         completed_run(4, "calendario.xls"),
         {{"temp.txt", merged}, {"calendario.xls", spreadsheet}}},
    // The link stays a link, and the file it leads to is replaced.
    Case{"OutputIsSymlinkToAFile", "t\n2\n2\nn\n",
         example({{"vero.txt", "vecchio\n"}, symlink_to("calendario.txt", "vero.txt")}),
         completed_run(4, "calendario.txt"), {{"vero.txt", merged}}, 0, {}, posix_only}),
    row_name);
// clang-format on

// A line longer than any buffer, between ordinary lines: merged, exported and counted whole.
TEST(LongLine, FiftyMegabytesInOneLine) {
    const std::string match = std::string(50 * 1024 * 1024, 'x') + "\n";
    const std::string long_line = "1 06/10/07 18:00 PalaA " + match;
    check(Case{"",
               "x\n2\n2\nn\n",
               calendars(long_line + line_2, line_4 + line_5),
               completed_run(4, "calendario.xls"),
               {{"temp.txt", long_line + line_4 + "\n" + line_2 + line_5 + "\n"},
                {"calendario.xls", "1\t1\t06/10/07\t18:00\tPalaA\t" + match +
                                       spreadsheet.substr(spreadsheet.find("\n") + 1)}}});
}

// The runner's guard against a program that writes forever: a file that reaches the limit ends
// the program. Only a signal can leave a temporary file behind: the output is still in it.
TEST(FileSizeLimit, StopsTheProgramAtTheLimit) {
    if (external_command() != nullptr) {
        GTEST_SKIP() << "how another command ends on the signal is its own";
    }
    constexpr std::uintmax_t limit = 64 * 1024;
    std::string calendar;
    while (calendar.size() <= limit) {
        calendar += line_1;
    }
    Scratch scratch;
    lay_out(scratch.folder(), calendars(calendar, line_4));
    const Outcome outcome = run_program(scratch, "", "t\n2\n2\nn\n", {.file_size_limit = limit});
    EXPECT_EQ(outcome.status, 128 + SIGXFSZ);
    const Listing left = list_folder(scratch.folder());
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left.begin()->second.bytes.size(), limit) << left.begin()->first;
}

// A replaced file keeps its permissions; a new one gets those of any new file, as the calendars.
TEST(Permissions, ReplacedFileKeepsItsMode) {
    if (external_command() != nullptr) {
        GTEST_SKIP() << "Windows files have no such permissions";
    }
    Scratch scratch;
    lay_out(scratch.folder(), example({{"calendario.txt", "vecchio\n"}}));
    fs::permissions(scratch.folder() / "calendario.txt", fs::perms{0640});
    EXPECT_EQ(run_program(scratch, "-f t -a 2", "").status, 0);
    EXPECT_EQ(fs::status(scratch.folder() / "calendario.txt").permissions(), fs::perms{0640});

    EXPECT_EQ(run_program(scratch, "-f w -a 2", "").status, 0);
    EXPECT_EQ(fs::status(scratch.folder() / "calendario.doc").permissions(),
              fs::status(scratch.folder() / "calendario1.txt").permissions());
}

TEST(Arguments, HelpAndVersionDoNotStartTheDialogue) {
    Scratch scratch;
    lay_out(scratch.folder(), example());
    const Outcome version = run_program(scratch, "--version", "t\n2\n2\nn\n");
    expect_bytes(version.output, as_written("gironario " GIRONARIO_VERSION "\n"), "--version");
    expect_errors(version.errors, "");
    EXPECT_EQ(version.status, 0);

    const Outcome help = run_program(scratch, "--help", "t\n2\n2\nn\n");
    EXPECT_EQ(help.output.rfind("Uso: gironario", 0), 0u) << shown(help.output);
    for (const char* name : {"calendario1.txt", "calendario2.txt", "calendario.txt",
                             "calendario.doc", "calendario.xls", "calendario.html", "temp.txt"}) {
        EXPECT_NE(help.output.find(name), std::string::npos) << name;
    }
    expect_errors(help.errors, "");
    EXPECT_EQ(help.status, 0);
    expect_folder(list_folder(scratch.folder()), expected_folder(example()));
}

TEST(Arguments, UsageErrorsAreOneLineAndTouchNoFile) {
    Scratch scratch;
    lay_out(scratch.folder(), example());
    const std::string usage = without_cr(run_program(scratch, "--help", "").output);
    const std::pair<std::string, std::string> usage_errors[] = {
        {"--boh", "opzione non riconosciuta o ambigua: --boh"},
        {"-f t -a 4,2 a b c",
         "con -a servono un valore per tutti i calendari o uno per ciascuno: 2 valori per 3 "
         "calendari"},
        {"--", "manca il formato: -f FORMATO"},
        {"-a 4 calendario1.txt", "manca il formato: -f FORMATO"},
        {"-f k", "formato non valido: \"k\" (t, w, x, h, i o p)"},
        {"-f t --sovrapposizioni=si", "l'opzione --sovrapposizioni non vuole un valore"},
    };
    for (const auto& [arguments, message] : usage_errors) {
        const Outcome outcome = run_program(scratch, arguments, "t\n2\n2\nn\n");
        expect_bytes(without_cr(outcome.errors),
                     "gironario: " + message + "\nProva \"gironario --help\" per l'aiuto.\n",
                     arguments);
        EXPECT_EQ(outcome.output, "") << arguments;
        EXPECT_EQ(outcome.status, 2) << arguments;
    }
    // --help wins, wherever it stands among valid options.
    const Outcome help = run_program(scratch, "-f t --help --version", "");
    EXPECT_EQ(without_cr(help.output), usage);
    EXPECT_EQ(help.status, 0);
    expect_folder(list_folder(scratch.folder()), expected_folder(example()));
}

}  // namespace
