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

// Four-digit years in the first calendar, two in the second: each is found without a question.
const std::string FIRST =
    "Girone di andata\n1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - "
    "Gamma\n";
const std::string SECOND =
    "4 06/10/07 21:00 PalaB Delta - Eta\n5 13/10/07 18:00 PalaC Zeta - Delta\n";
const std::string MERGED =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n";

// Calendars dropped in the order given, an answer typed, and the files the run leaves beside
// squadre/prima.txt and u17.txt (their contents checked only where given).
struct Drop {
    std::string name;
    std::vector<std::string> calendars;
    std::string input;
    bool wait_for_enter;
    std::string out;
    std::string err;
    int status;
    std::map<std::string, std::string> written;
    std::string input_left{};  // what the program must not have read
};

void PrintTo(const Drop& drop, std::ostream* os) {
    *os << drop.name;
}

const std::vector<std::string> BOTH = {"squadre/prima.txt", "u17.txt"};

std::vector<Drop> drops() {
    const std::string beside = "squadre/calendario.txt";
    return {
        // The result goes beside the first calendar, whatever the folder the program runs in.
        {"TextBesideTheFirst",
         BOTH,
         "t\n",
         false,
         Q + summary(4, beside),
         "",
         0,
         {{beside, MERGED}}},
        {"FirstInTheWorkingFolder",
         {"u17.txt", "squadre/prima.txt"},
         "T\n",
         false,
         Q + summary(4, "calendario.txt"),
         "",
         0,
         {{"calendario.txt",
           // At the same time, the calendar named first comes first.
           "1 06/10/07 18:00 PalaA Alfa - Beta\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
           "5 13/10/07 18:00 PalaC Zeta - Delta\n2 13/10/07 18:00 PalaA Alfa - Gamma\n\n"}}},
        // Every format is offered, those of the options too; refused letters are asked again.
        {"RefusedThenPhone",
         BOTH,
         "k\n\ntx\nI\r\n",
         false,
         Q + format_refused + Q + format_refused + Q + format_refused + Q +
             summary(4, "squadre/calendario.ics"),
         "",
         0,
         {{"squadre/calendario.ics", ""}}},
        {"PageForReading",
         BOTH,
         "p\n",
         false,
         Q + summary(4, "squadre/calendario-pagina.html"),
         "",
         0,
         {{"squadre/calendario-pagina.html", ""}}},
        // A table is made at once, with no temp.txt left among the calendars.
        {"SpreadsheetWithoutTemp",
         BOTH,
         "x\n",
         false,
         Q + summary(4, "squadre/calendario.xls"),
         "",
         0,
         {{"squadre/calendario.xls", ""}}},
        {"OneCalendar",
         {"u17.txt"},
         "w\n",
         false,
         Q + summary(2, "calendario.doc"),
         "",
         0,
         {{"calendario.doc", SECOND}}},
        // The window that closes with the program waits for Enter, after a failure too, and
        // reads no further than the Enter.
        {"WaitsForEnter",
         BOTH,
         "h\nfine\nresto\n",
         true,
         Q + summary(4, "squadre/calendario.html") + press_enter,
         "",
         0,
         {{"squadre/calendario.html", ""}},
         "resto\n"},
        {"MissingCalendarWaits",
         {"squadre/prima.txt", "u15.txt"},
         "t\n\n",
         true,
         Q + press_enter,
         "gironario: u15.txt: impossibile aprire il file: " + std::string(std::strerror(ENOENT)) +
             "\n",
         1,
         {}},
        // End of input: nothing written, and no wait.
        {"InputEndsAtTheQuestion", BOTH, "", true, Q, input_ended, 1, {}},
        {"InputEndsAfterARefusal", BOTH, "z\n", true, Q + format_refused + Q, input_ended, 1, {}},
    };
}

class Dropped : public ::testing::TestWithParam<Drop> {};

TEST_P(Dropped, Calendars) {
    const Drop& drop = GetParam();
    MemoryFolder folder;
    folder.files = {{"squadre/prima.txt", FIRST}, {"u17.txt", SECOND}};
    std::istringstream in(drop.input);
    std::ostringstream out;
    std::ostringstream err;
    Console console(out, err, ConsoleEncoding::latin1);
    EXPECT_EQ(run_dropped(drop.calendars, in, console, folder, 1796169600, drop.wait_for_enter),
              drop.status);
    EXPECT_EQ(out.str(), drop.out);
    EXPECT_EQ(err.str(), drop.err);
    // Only the result is new; no calendar is touched.
    EXPECT_EQ(folder.files.size(), 2 + drop.written.size());
    EXPECT_EQ(folder.files["squadre/prima.txt"], FIRST);
    EXPECT_EQ(folder.files["u17.txt"], SECOND);
    for (const auto& [name, text] : drop.written) {
        ASSERT_TRUE(folder.files.contains(name)) << name;
        if (!text.empty()) {
            EXPECT_EQ(folder.files[name], text) << name;
        }
    }
    EXPECT_TRUE(folder.pending.empty());
    const std::string left(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(left, drop.input_left);
}

INSTANTIATE_TEST_SUITE_P(Drops, Dropped, ::testing::ValuesIn(drops()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace gironario
