// A calendar is read once: a named pipe is a calendar like a file, with its year digits found in
// its first lines.

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
TEST(ReadOnce, ANamedPipeAsACalendar) {
    if (external_command() != nullptr) {
        GTEST_SKIP() << "named pipes as this system gives them";
    }
    Scratch scratch;
    lay_out(scratch.folder(), {{"calendario2.txt", line_4 + line_5}});
    const std::string fifo = (scratch.folder() / "squadra").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened for writing only once the program opens it for reading.
    std::thread writer([fifo] { std::ofstream(fifo, std::ios::binary) << four_digit; });
    const Outcome outcome = run_program(scratch, "-f t squadra calendario2.txt", "");
    writer.join();
    std::filesystem::remove(fifo);  // the folder's listing reads files
    expect_bytes(outcome.output, as_written(console::summary(4, "calendario.txt")),
                 "standard output");
    expect_errors(outcome.errors, "");
    EXPECT_EQ(outcome.status, 0);
    expect_bytes(list_folder(scratch.folder()).at("calendario.txt").bytes, merged,
                 "calendario.txt");
}

}  // namespace
}  // namespace gironario::e2e
