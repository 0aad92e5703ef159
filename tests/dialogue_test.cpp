#include "driver/dialogue.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "console_texts.hpp"
#include "export/table_export.hpp"
#include "memory_folder.hpp"

namespace gironario {
namespace {

using namespace console;

// Short names: the sessions below are sums of these.
const std::string& F = format_question;
const std::string& BAD_FORMAT = format_refused;
const std::string& Y1 = year_question_1;
const std::string& Y2 = year_question_2;
const std::string& BAD_YEAR = year_refused;
const std::string& R = restart_question;
const std::string S_TXT = summary(4, "calendario.txt");

const std::string CAL1 =
    "Girone di andata\n1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - "
    "Gamma\n";
const std::string CAL2 =
    "4 06/10/07 21:00 PalaB Delta - Eta\n5 13/10/07 18:00 PalaC Zeta - Delta\n";
const std::string MERGED =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n";
// The tables' bytes are pinned by the export's own tests; here they only have to be the export
// of what the merge wrote.
std::string table(TableKind kind, const std::string& merged, long long matches) {
    StringInput input(merged);
    LineReader reader(input);
    std::string text;
    StringOutput output(text);
    LineWriter writer(output);
    export_table(kind, reader, matches, writer);
    writer.close();
    return text;
}
const std::string PAGE = table(TableKind::web_page, MERGED, 4);

const std::string& ENDED = input_ended;

std::string failure(const std::string& file, const std::string& what, int error) {
    return "gironario: " + file + ": " + what + ": " + std::strerror(error) + "\n";
}

std::string refusal(const std::string& output, const std::string& calendar) {
    return "gironario: " + output + ": \xE8 lo stesso file di " + calendar +
           ", che non viene sovrascritto\n";
}

// One console session over a folder holding CAL1, CAL2 and an earlier result in every output,
// changed first by `setup`. A run that fails leaves every output as it was, but temp.txt once
// the merge is done.
struct Session {
    std::string name;
    std::string input;
    std::function<void(MemoryFolder&)> setup;
    std::string out;
    std::string err;
    int status;
    // The files the session leaves changed, with their new contents.
    std::map<std::string, std::string> written;
};

void PrintTo(const Session& session, std::ostream* os) {
    *os << session.name;
}

std::vector<Session> sessions() {
    const auto nothing = [](MemoryFolder&) {};
    const std::string run_txt = F + Y1 + Y2 + S_TXT + R;
    return {
        {"TextFourThenTwo", "T\n4\n2\nn\n", nothing, run_txt, "", 0, {{"calendario.txt", MERGED}}},
        {"RefusedLetterThenWebPage",
         "k\nh\n4\n2\nn\n",
         nothing,
         F + BAD_FORMAT + F + Y1 + Y2 + summary(4, "calendario.html") + R,
         "",
         0,
         {{"temp.txt", MERGED}, {"calendario.html", PAGE}}},
        {"Spreadsheet",
         "X\n4\n2\nn\n",
         nothing,
         F + Y1 + Y2 + summary(4, "calendario.xls") + R,
         "",
         0,
         {{"temp.txt", MERGED}, {"calendario.xls", table(TableKind::spreadsheet, MERGED, 4)}}},
        {"RefusedYearDigits",
         "t\n3\n4\n0\n2\nn\n",
         nothing,
         F + Y1 + BAD_YEAR + Y1 + Y2 + BAD_YEAR + Y2 + S_TXT + R,
         "",
         0,
         {{"calendario.txt", MERGED}}},
        {"YearAnswerNotANumber",
         "t\nabc\n+4\n2\nn\n",
         nothing,
         F + Y1 + BAD_YEAR + Y1 + BAD_YEAR + Y1 + BAD_YEAR + Y1 + Y2 + S_TXT + R,
         "",
         0,
         {{"calendario.txt", MERGED}}},
        {"WordTwiceRewritesTheFile",
         "w\n4\n2\nY\nW\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.files["calendario.doc"] = std::string(5000, 'v'); },
         F + Y1 + Y2 + summary(4, "calendario.doc") + R + F + Y1 + Y2 +
             summary(4, "calendario.doc") + R,
         "",
         0,
         {{"calendario.doc", MERGED}}},
        // At the edge where the number no longer fits: the largest, one past it, and one past
        // the most negative. Each is refused and the question asked again.
        {"YearAnswersThatOverflow",
         "t\n9223372036854775807\n9223372036854775808\n4\n-9223372036854775809\n2\nn\n",
         nothing,
         F + Y1 + BAD_YEAR + Y1 + BAD_YEAR + Y1 + Y2 + BAD_YEAR + Y2 + S_TXT + R,
         "",
         0,
         {{"calendario.txt", MERGED}}},
        {"AnswersOnOneLine", "t 4 2 n\n", nothing, run_txt, "", 0, {{"calendario.txt", MERGED}}},
        // Only the one character after an answer is thrown away: 'x' here, then 't' is read.
        {"OneCharacterDiscardedAfterEachAnswer",
         "kxt\n4\n2\nn\n",
         nothing,
         F + BAD_FORMAT + F + Y1 + Y2 + S_TXT + R,
         "",
         0,
         {{"calendario.txt", MERGED}}},
        {"YearsAnsweredTwoForAFourDigitFile",
         "t\n2\n2\nn\n",
         nothing,
         F + Y1 + Y2 + S_TXT + R,
         // Its lines are read by their real dates all the same.
         "",
         0,
         {{"calendario.txt", MERGED}}},

        {"InputEndsAtTheFormat", "", nothing, F, ENDED, 1, {}},
        {"InputEndsAtYear1", "t", nothing, F + Y1, ENDED, 1, {}},
        {"InputEndsAtYear1AfterRefusals",
         "t\nabc",
         nothing,
         F + Y1 + BAD_YEAR + Y1 + BAD_YEAR + Y1 + BAD_YEAR + Y1,
         ENDED,
         1,
         {}},
        {"InputEndsAtYear2", "t\n4\n", nothing, F + Y1 + Y2, ENDED, 1, {}},
        {"InputEndsAtTheRestart",
         "t\n4\n2\n",
         nothing,
         run_txt,
         "",
         0,
         {{"calendario.txt", MERGED}}},
        {"InputEndsInTheSecondRun",
         "t\n4\n2\ny\n",
         nothing,
         run_txt + F,
         ENDED,
         1,
         {{"calendario.txt", MERGED}}},

        {"MissingCalendar",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.files.erase("calendario2.txt"); },
         F + Y1 + Y2 + R,
         failure("calendario2.txt", "impossibile aprire il file", ENOENT),
         1,
         {}},
        // A calendar that yields no match, whatever its name says it is: told, and asked again.
        {"CalendarYieldsNothing",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.files["calendario2.txt"] = "%PDF-1.7\n"; },
         F + Y1 + Y2 + R,
         "gironario: calendario2.txt: \xE8 un PDF, che gironario non legge: aprirlo, selezionare "
         "il calendario e copiarlo in un file di testo, da indicare al posto del PDF; oppure "
         "scaricare dal sito il file Excel o CSV, dove c'\xE8\n",
         1,
         {}},
        {"CalendarIsADirectory",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) {
             folder.files.erase("calendario1.txt");
             folder.directories.insert("calendario1.txt");
         },
         F + Y1 + Y2 + R,
         failure("calendario1.txt", "errore di lettura", EISDIR),
         1,
         {}},
        {"CalendarBreaksMidWay",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.breaks_after["calendario2.txt"] = 40; },
         F + Y1 + Y2 + R,
         failure("calendario2.txt", "errore di lettura", EIO),
         1,
         {}},
        // Every calendar that fails is told, not only the first. The merge stops at the first
        // failure it meets, so both break before their first whole match line.
        {"BothCalendarsBreakMidWay",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) {
             folder.breaks_after["calendario1.txt"] = 30;
             folder.breaks_after["calendario2.txt"] = 20;
         },
         F + Y1 + Y2 + R,
         failure("calendario1.txt", "errore di lettura", EIO) +
             failure("calendario2.txt", "errore di lettura", EIO),
         1,
         {}},
        // The year questions are not asked for a run that cannot write; the next run can.
        {"OutputCannotBeCreated",
         "t\ny\nw\n4\n2\nn\n",
         [](MemoryFolder& folder) {
             folder.files.erase("calendario.txt");
             folder.directories.insert("calendario.txt");
         },
         F + R + F + Y1 + Y2 + summary(4, "calendario.doc") + R,
         failure("calendario.txt", "impossibile creare il file", EISDIR),
         1,
         {{"calendario.doc", MERGED}}},
        {"FullDiskForTheText",
         "t\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.room["calendario.txt"] = 40; },
         F + Y1 + Y2 + R,
         failure("calendario.txt", "errore di scrittura", ENOSPC),
         1,
         {}},
        {"FullDiskForTemp",
         "x\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.room["temp.txt"] = 0; },
         F + Y1 + Y2 + R,
         failure("temp.txt", "errore di scrittura", ENOSPC),
         1,
         {}},
        {"FullDiskForTheWebPage",
         "h\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.room["calendario.html"] = 100; },
         F + Y1 + Y2 + R,
         failure("calendario.html", "errore di scrittura", ENOSPC),
         1,
         {{"temp.txt", MERGED}}},
        {"TempCannotBeReadBack",
         "h\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.breaks_after["temp.txt"] = 0; },
         F + Y1 + Y2 + R,
         failure("temp.txt", "errore di lettura", EIO),
         1,
         {{"temp.txt", MERGED}}},

        {"OutputIsCalendar1",
         "t\nn\n",
         [](MemoryFolder& folder) { folder.links["calendario.txt"] = "calendario1.txt"; },
         F + R,
         refusal("calendario.txt", "calendario1.txt"),
         1,
         {}},
        {"SpreadsheetIsCalendar1",
         "x\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.links["calendario.xls"] = "calendario1.txt"; },
         F + Y1 + Y2 + R,
         refusal("calendario.xls", "calendario1.txt"),
         1,
         {{"temp.txt", MERGED}}},
        {"WebPageIsTemp",
         "h\n4\n2\nn\n",
         [](MemoryFolder& folder) { folder.links["calendario.html"] = "temp.txt"; },
         F + Y1 + Y2 + R,
         refusal("calendario.html", "temp.txt"),
         1,
         {{"temp.txt", MERGED}}},
    };
}

class Dialogue : public ::testing::TestWithParam<Session> {};

TEST_P(Dialogue, Session) {
    const Session& session = GetParam();
    MemoryFolder folder;
    folder.files = {{"calendario1.txt", CAL1}, {"calendario2.txt", CAL2}};
    for (const std::string output :
         {"calendario.txt", "calendario.doc", "temp.txt", "calendario.xls", "calendario.html"}) {
        folder.files[output] = "vecchio " + output + "\n";
    }
    session.setup(folder);
    std::map<std::string, std::string> expected_files = folder.files;
    for (const auto& [name, text] : session.written) {
        expected_files[name] = text;
    }

    std::istringstream in(session.input);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(run_dialogue(in, out, err, folder), session.status);
    EXPECT_EQ(out.str(), session.out);
    EXPECT_EQ(err.str(), session.err);
    EXPECT_EQ(folder.files, expected_files);
    EXPECT_TRUE(folder.pending.empty());
}

INSTANTIATE_TEST_SUITE_P(Sessions, Dialogue, ::testing::ValuesIn(sessions()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace gironario
