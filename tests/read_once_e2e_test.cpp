// A calendar is read once: standard input and a named pipe are calendars like files, with their
// year digits found in their first lines. And words from files or the command line reach a UTF-8
// console as they are.

#include <sys/stat.h>
#include <sys/types.h>

#include <fstream>
#include <string>
#include <thread>

#include "e2e_harness.hpp"

namespace gironario::e2e {
namespace {

const std::string four_digit =
    "Girone di andata\n1 06/10/2007 18:00 PalaA Alfa - Beta\n2 13/10/2007 18:00 PalaA Alfa - "
    "Gamma\n";
const std::string merged_mixed =
    "1 06/10/07 18:00 PalaA Alfa - Beta\n4 06/10/07 21:00 PalaB Delta - Eta\n\n"
    "2 13/10/07 18:00 PalaA Alfa - Gamma\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n";

TEST(ReadOnce, StandardInputAndAPipeAsCalendars) {
    if (external_command() != nullptr) {
        GTEST_SKIP() << "standard input and named pipes as the shell of this system gives them";
    }
    const std::string two_digit = line_4 + line_5;
    for (const bool pipe : {false, true}) {
        Scratch scratch;
        lay_out(scratch.folder(), {{"calendario2.txt", two_digit}});
        std::thread writer;
        std::string arguments = "-f t - calendario2.txt";
        std::string input = four_digit;
        if (pipe) {
            const std::string fifo = (scratch.folder() / "squadra").string();
            ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
            // Opened for writing only once the program opens it for reading.
            writer = std::thread([fifo] { std::ofstream(fifo, std::ios::binary) << four_digit; });
            arguments = "-f t squadra calendario2.txt";
            input.clear();
        }
        const Outcome outcome = run_program(scratch, arguments, input);
        if (writer.joinable()) {
            writer.join();
            std::filesystem::remove(scratch.folder() /
                                    "squadra");  // the folder's listing reads files
        }
        SCOPED_TRACE(pipe ? "a named pipe" : "standard input");
        expect_bytes(outcome.output, as_written(console::summary(4, "calendario.txt")),
                     "standard output");
        expect_errors(outcome.errors, "");
        EXPECT_EQ(outcome.status, 0);
        const Listing listing = list_folder(scratch.folder());
        ASSERT_TRUE(listing.contains("calendario.txt"));
        expect_bytes(listing.at("calendario.txt").bytes, merged_mixed, "calendario.txt");
    }
}

TEST(ReadOnce, WordsFromFilesOnAUtf8Console) {
    if (external_command() != nullptr) {
        GTEST_SKIP() << "Windows consoles are given code page 1252 instead";
    }
    Scratch scratch;
    // A UTF-8 name and place, and a Windows-1252 place, each booked twice.
    lay_out(scratch.folder(),
            {{"citt\xC3\xA0.txt",
              "1 04/10/26 18:00 PalaCitt\xC3\xA0 A - B\n2 04/10/26 18:30 PalaCitt\xC3\xA0 C - D\n"
              "3 05/10/26 18:00 Pal\xE8 E - F\n4 05/10/26 18:30 Pal\xE8 G - H\n"}});
    RunOptions options;
    options.environment = {{"LC_ALL", "C.UTF-8"}};
    const Outcome outcome = run_program(scratch, "-f t citt\xC3\xA0.txt", "", options);
    expect_errors(outcome.errors,
                  "gironario: citt\xC3\xA0.txt:2: PalaCitt\xC3\xA0 \xC3\xA8 occupato anche dalla "
                  "gara 1 di citt\xC3\xA0.txt (riga 1), 04/10/2026 18:00-20:00\n"
                  "gironario: citt\xC3\xA0.txt:4: Pal\xC3\xA8 \xC3\xA8 occupato anche dalla gara 3 "
                  "di citt\xC3\xA0.txt (riga 3), 05/10/2026 18:00-20:00\n");
    EXPECT_EQ(outcome.status, 0);
}

}  // namespace
}  // namespace gironario::e2e
