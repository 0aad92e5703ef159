#include "driver/dropped.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "console_texts.hpp"
#include "memory_folder.hpp"

namespace gironario {
namespace {

using namespace console;

const std::string& Q = dropped_format_question;
// Four-digit years in the first calendar, two in the second: both found without a question.
const std::string FIRST = "Girone\n1 06/10/2007 18:00 PalaA Alfa - Beta\n";
// At the same time, so that the calendar named first comes first.
const std::string SECOND = "4 06/10/07 18:00 PalaB Delta - Eta\n";
// Their matches as the merge writes them, years in two digits.
const std::string A = "1 06/10/07 18:00 PalaA Alfa - Beta\n";
const std::string& B = SECOND;

// Calendars dropped, the answers typed, and the one file the run leaves beside them (its
// contents checked where given).
struct Drop {
    std::string name;
    std::vector<std::string> calendars;
    std::string input;
    bool wait_for_enter;
    std::string out;
    std::string err;
    int status;
    std::string result{};
    std::string result_text{};
};

void PrintTo(const Drop& drop, std::ostream* os) {
    *os << drop.name;
}

const std::vector<std::string> BOTH = {"squadre/prima.txt", "u17.txt"};

// clang-format off
const Drop drops[] = {
    // Beside the first calendar, whatever the folder the program runs in.
    {"TextBesideTheFirst", BOTH, "t\n", false, Q + summary(2, "squadre/calendario.txt"), "", 0, "squadre/calendario.txt", A + B + "\n"},
    {"FirstInTheWorkingFolder", {"u17.txt", "squadre/prima.txt"}, "T\n", false, Q + summary(2, "calendario.txt"), "", 0, "calendario.txt", B + A + "\n"},
    // Every format is offered; a line that is not one letter of one is refused.
    {"RefusedThenPhone", BOTH, "k\n\ntx\nI\r\n", false, Q + format_refused + Q + format_refused + Q + format_refused + Q + summary(2, "squadre/calendario.ics"), "", 0, "squadre/calendario.ics"},
    // A table made at once: no temp.txt among the calendars.
    {"SpreadsheetWithoutTemp", BOTH, "x\n", false, Q + summary(2, "squadre/calendario.xls"), "", 0, "squadre/calendario.xls"},
    // A window that closes with the program waits for Enter, after a failure too.
    {"WaitsForEnter", BOTH, "p\n\n", true, Q + summary(2, "squadre/calendario-pagina.html") + press_enter, "", 0, "squadre/calendario-pagina.html"},
    {"MissingCalendarWaits", {"u17.txt", "u15.txt"}, "t\n\n", true, Q + press_enter, "gironario: u15.txt: impossibile aprire il file: " + std::string(std::strerror(ENOENT)) + "\n", 1},
    // End of input: nothing written, no wait.
    {"InputEndsAtTheQuestion", BOTH, "", true, Q, input_ended, 1},
    {"InputEndsAfterARefusal", BOTH, "z\n", true, Q + format_refused + Q, input_ended, 1},
};
// clang-format on

class Dropped : public ::testing::TestWithParam<Drop> {};

TEST_P(Dropped, Calendars) {
    const Drop& drop = GetParam();
    MemoryFolder folder;
    folder.files = {{"squadre/prima.txt", FIRST}, {"u17.txt", SECOND}};
    std::map<std::string, std::string> before = folder.files;
    std::istringstream in(drop.input);
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, ConsoleEncoding::latin1);
    EXPECT_EQ(run_dropped(drop.calendars, in, console, folder, 0, drop.wait_for_enter),
              drop.status);
    EXPECT_EQ(out.str(), drop.out);
    EXPECT_EQ(err.str(), drop.err);
    if (!drop.result.empty()) {
        ASSERT_TRUE(folder.files.contains(drop.result));
        if (!drop.result_text.empty()) {
            EXPECT_EQ(folder.files[drop.result], drop.result_text);
        }
        before[drop.result] = folder.files[drop.result];
    }
    EXPECT_EQ(folder.files, before);  // nothing else written, no calendar touched
    EXPECT_TRUE(folder.pending.empty());
}

INSTANTIATE_TEST_SUITE_P(Drops, Dropped, ::testing::ValuesIn(drops),
                         [](const auto& param) { return param.param.name; });

// A folder's name reaches a UTF-8 console as it is written, not read again as Latin-1.
TEST(Dropped, FolderNamedOnAUtf8Console) {
    MemoryFolder folder;
    folder.files = {{"Societ\xC3\xA0/prima.txt", FIRST}};
    std::istringstream in("t\n");
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, ConsoleEncoding::utf8);
    EXPECT_EQ(run_dropped({"Societ\xC3\xA0/prima.txt"}, in, console, folder, 0, false), 0);
    EXPECT_NE(out.str().find("Il tuo calendario si trova nel file Societ\xC3\xA0/calendario.txt\n"),
              std::string::npos)
        << out.str();
}

}  // namespace
}  // namespace gironario
