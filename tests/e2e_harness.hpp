#pragma once

// Runs the built program as a user runs it: in a fresh folder, with the answers piped on standard
// input, and compares standard output, standard error, the exit status and every file left in the
// folder, byte for byte, so a failed run that still says "Complimenti" or touches a calendar shows
// up.
//
// GIRONARIO_COMMAND, when set, is the shell command that starts the program instead of the binary
// built beside these tests (say "wine /path/gironario.exe"). GIRONARIO_CRLF=1 expects every line
// feed the program writes as CR LF, as a Windows build writes its text files and console.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "console_texts.hpp"

namespace gironario::e2e {

// The questions of a run answered right the first time.
extern const std::string questions;

// Two calendars with two-digit years: a same-day pair, then a tie at the same date and time.
extern const std::string line_1;
extern const std::string line_2;
extern const std::string line_4;
extern const std::string line_5;
// What the two example calendars merge into, and the two tables made from that.
extern const std::string merged;
extern const std::string spreadsheet;
extern const std::string web_page;

// The whole console text of a run answered right the first time.
std::string completed_run(int matches, const std::string& file);

// The message of a file that failed, "what" being the Italian for what was done with it.
std::string failure(const std::string& file, const std::string& what, const std::string& reason);

// The message of an output left alone because it is the same file as `calendar`.
std::string refused_as(const std::string& output, const std::string& calendar);

enum class Kind { regular, symlink, hard_link, directory };

// One entry of the folder before the run. `bytes` is a regular file's content, a symbolic
// link's target or the name a hard link shares.
struct File {
    std::string name;
    std::string bytes;
    Kind kind = Kind::regular;
};

File symlink_to(const std::string& name, const std::string& target);
File hard_link(const std::string& name, const std::string& existing);
File directory(const std::string& name);

// calendario1.txt and calendario2.txt with these contents.
std::vector<File> calendars(const std::string& first, const std::string& second);

// The two example calendars (line_1 and line_2; line_4 and line_5), followed by `extra`.
std::vector<File> example(const std::vector<File>& extra = {});

// A fresh folder for one case, and beside it the file that takes the program's standard error;
// removed with everything in it however the case ends.
class Scratch {
  public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::filesystem::path folder() const { return root_ / "cartella"; }
    std::filesystem::path errors_file() const { return root_ / "stderr"; }

  private:
    std::filesystem::path root_;
};

// Makes `files` in `folder`.
void lay_out(const std::filesystem::path& folder, const std::vector<File>& files);

// The largest file the program may write, unless a test says otherwise: a fault that writes
// forever then ends with SIGXFSZ instead of filling the disk.
inline constexpr std::uintmax_t default_file_size_limit = std::uintmax_t{256} << 20;

// How the program is started, besides its arguments and answers.
struct RunOptions {
    // Variables set in the program's environment after LC_ALL=C, which keeps system messages in
    // English; LC_ALL may be among them.
    std::vector<std::pair<std::string, std::string>> environment{};
    // A file to open for standard output instead of the pipe the output is read from (say
    // /dev/full); the output then reads as empty.
    std::string standard_output{};
    // The largest file the program may write (RLIMIT_FSIZE), for each file on its own.
    std::uintmax_t file_size_limit = default_file_size_limit;
};

// What the program did: its standard output and error, and its exit status (128 + the signal's
// number when a signal ended it).
struct Outcome {
    std::string output;
    std::string errors;
    int status = -1;
};

// Runs the program in the scratch folder with `arguments` (through the shell) and `input` on a
// pipe. With `between_runs`, the answers in `more_input` are given only once the program has
// asked the restart question and `between_runs` has been done, as a user who changes a file
// meanwhile.
Outcome run_program(const Scratch& scratch, const std::string& arguments, const std::string& input,
                    const RunOptions& options = {}, const std::string& more_input = {},
                    const std::function<void()>& between_runs = {});

// The outside command the cases run, from GIRONARIO_COMMAND; null for the built program.
const char* external_command();

// `text` as the program writes it: in CR LF form where GIRONARIO_CRLF asks for that. A CR
// already before a line feed came from a CR LF calendar: Windows reads that line end as a line
// feed and writes it back as the same two bytes.
std::string as_written(const std::string& text);

// `text` without any CR.
std::string without_cr(std::string text);

// `bytes` as GoogleTest prints a string, escapes and all.
std::string shown(const std::string& bytes);

// Fails the test, naming `what` and the first differing byte, unless the two are equal.
void expect_bytes(const std::string& actual, const std::string& expected, const std::string& what);

// Compares standard error. Against an outside command only the program's own part of each
// message is looked for: another system words its reasons its own way, and its wrapper may add
// lines of its own.
void expect_errors(const std::string& actual, const std::string& expected);

// A folder's entries by their names relative to it.
struct Entry {
    Kind kind;
    std::string bytes;  // a regular file's content, a symbolic link's target
};
using Listing = std::map<std::string, Entry>;

// What `folder` holds, all the way down.
Listing list_folder(const std::filesystem::path& folder);

// The folder as `files` left it, without `removed`, with `written` over it.
Listing expected_folder(const std::vector<File>& files, const std::vector<File>& written = {},
                        const std::string& removed = {});

// Fails the test for each entry missing, unexpected or not as expected.
void expect_folder(const Listing& actual, const Listing& expected);

// One run of the program, and all it must leave.
struct Case {
    std::string name;
    std::string input;                   // standard input
    std::vector<File> files;             // the folder before the run; expected unchanged after it
    std::string output;                  // standard output, with line feeds
    std::vector<File> written{};         // the files the program writes, with line feeds
    int status = 0;                      // exit status
    std::string errors{};                // standard error
    bool posix_only = false;             // needs links or file kinds that Windows has not
    std::string removed_between_runs{};  // a file that disappears once the first run is over...
    std::string more_input{};            // ...and the answers given after that
    std::string arguments{};             // the command line; none starts the dialogue
    RunOptions options{};
};

void PrintTo(const Case& row, std::ostream* out);

// Runs a case in a fresh folder and checks everything it left.
void check(const Case& row);

// The table-driven end-to-end test: each file instantiates it with its own rows of cases,
// named by row_name.
class EndToEnd : public testing::TestWithParam<Case> {};

std::string row_name(const testing::TestParamInfo<Case>& info);

}  // namespace gironario::e2e
