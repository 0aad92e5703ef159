// The built program as a user runs it: in a fresh folder, with the answers piped on standard
// input. Each case compares standard output, standard error, the exit status and every file left
// in the folder, byte for byte, so a failed run that still says "Complimenti" or touches a
// calendar shows up.
//
// GIRONARIO_COMMAND, when set, is the shell command that starts the program instead of the binary
// built beside these tests (say "wine /path/gironario.exe"). GIRONARIO_CRLF=1 expects every line
// feed the program writes as CR LF, as a Windows build writes its text files and console.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "console_texts.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using namespace gironario::console;

const std::string questions = format_question + year_question_1 + year_question_2;

// The whole console text of a run answered right the first time.
std::string completed_run(int matches, const std::string& file) {
    return questions + summary(matches, file) + restart_question;
}

std::string failure(const std::string& file, const std::string& what, const std::string& reason) {
    return "gironario: " + file + ": " + what + ": " + reason + "\n";
}

std::string refused_as(const std::string& output, const std::string& calendar) {
    return "gironario: " + output + ": \xE8 lo stesso file di " + calendar +
           ", che non viene sovrascritto\n";
}

// Two calendars with two-digit years: a same-day pair, then a tie at the same date and time.
const std::string line_1 = "1 06/10/07 18:00 PalaA Alfa - Beta\n";
const std::string line_2 = "2 13/10/07 18:00 PalaA Alfa - Gamma\n";
const std::string line_4 = "4 06/10/07 21:00 PalaB Delta - Eta\n";
const std::string line_5 = "5 13/10/07 18:00 PalaC Zeta - Delta\n";
const std::string merged = line_1 + line_4 + "\n" + line_2 + line_5 + "\n";

const std::string spreadsheet =
    "1\t1\t06/10/07\t18:00\tPalaA\tAlfa - Beta\n"
    "2\t4\t06/10/07\t21:00\tPalaB\tDelta - Eta\n"
    "3\t\n"
    "4\t2\t13/10/07\t18:00\tPalaA\tAlfa - Gamma\n"
    "5\t5\t13/10/07\t18:00\tPalaC\tZeta - Delta\n";

// One table row of the web page; the last cell ends with the line's own line feed.
std::string web_row(const std::vector<std::string>& cells) {
    std::string row = "<TR bgcolor=#c0ffff>\n\t<TD>";
    for (std::size_t i = 0; i < cells.size(); ++i) {
        row += (i > 0 ? "</TD>\n\t<TD>" : "") + cells[i];
    }
    return row + "\t</TD>\n</TR>\n";
}

const std::string web_page =
    "<HTML>\n<BODY>\n<TABLE border=1 bgcolor=#80ff80>\n"
    "<TR><TD><b>N</b></TD><TD align=center><b>DATA</b></TD><TD align=center><b>ORARIO</b></TD>"
    "<TD align=center><b>LUOGO</b></TD><TD align=center><b>PARTITA</b></TD></TR>" +
    web_row({"1", "06/10/07", "18:00", "PalaA", "Alfa - Beta\n"}) +
    web_row({"4", "06/10/07", "21:00", "PalaB", "Delta - Eta\n"}) + web_row({"\n"}) +
    web_row({"2", "13/10/07", "18:00", "PalaA", "Alfa - Gamma\n"}) +
    web_row({"5", "13/10/07", "18:00", "PalaC", "Zeta - Delta\n"}) + "\n</TABLE>\n</BODY>\n</HTML>";

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

enum class Kind { regular, symlink, hard_link, directory };

// One entry of the folder before the run. `bytes` is a regular file's content, a symbolic
// link's target or the name a hard link shares.
struct File {
    std::string name;
    std::string bytes;
    Kind kind = Kind::regular;
};

File symlink_to(const std::string& name, const std::string& target) {
    return {name, target, Kind::symlink};
}
File hard_link(const std::string& name, const std::string& existing) {
    return {name, existing, Kind::hard_link};
}
File directory(const std::string& name) {
    return {name, "", Kind::directory};
}

std::vector<File> calendars(const std::string& first, const std::string& second) {
    return {{"calendario1.txt", first}, {"calendario2.txt", second}};
}

// The two example calendars, followed by `extra`.
std::vector<File> example(const std::vector<File>& extra = {}) {
    std::vector<File> files = calendars(line_1 + line_2, line_4 + line_5);
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

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
};

void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

const char* external_command() {
    const char* command = std::getenv("GIRONARIO_COMMAND");
    return command != nullptr && *command != '\0' ? command : nullptr;
}

bool crlf_expected() {
    const char* crlf = std::getenv("GIRONARIO_CRLF");
    return crlf != nullptr && std::string_view(crlf) == "1";
}

// `text` as the program writes it. A CR already before a line feed came from a CR LF calendar:
// Windows reads that line end as a line feed and writes it back as the same two bytes.
std::string as_written(const std::string& text) {
    if (!crlf_expected()) {
        return text;
    }
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            result += '\r';
        }
        result += text[i];
    }
    return result;
}

std::string without_cr(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string read_file(const fs::path& path) {
    std::string bytes(fs::file_size(path), '\0');
    std::ifstream file(path, std::ios::binary);
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

// A fresh folder for one case, and beside it the file that takes the program's standard error;
// removed with everything in it however the case ends.
class Scratch {
  public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "gironario-e2e-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder in " + pattern);
        }
        root_ = pattern;
        fs::create_directory(folder());
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    fs::path folder() const { return root_ / "cartella"; }
    fs::path errors_file() const { return root_ / "stderr"; }

  private:
    fs::path root_;
};

void lay_out(const fs::path& folder, const std::vector<File>& files) {
    for (const File& file : files) {
        switch (file.kind) {
            case Kind::regular:
                write_file(folder / file.name, file.bytes);
                break;
            case Kind::symlink:
                fs::create_symlink(file.bytes, folder / file.name);
                break;
            case Kind::hard_link:
                fs::create_hard_link(folder / file.bytes, folder / file.name);
                break;
            case Kind::directory:
                fs::create_directory(folder / file.name);
                break;
        }
    }
}

struct Outcome {
    std::string output;
    std::string errors;
    int status = -1;
};

void write_all(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return;  // the program has ended without reading everything: its output tells
        }
        done += static_cast<std::size_t>(count);
    }
}

// Reads the program's output until `until` has appeared in it (or to its end).
void read_output(int fd, std::string& output, const std::string& until = {}) {
    char buffer[4096];
    while (until.empty() || output.find(until) == std::string::npos) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        output.append(buffer, static_cast<std::size_t>(count));
    }
}

// Runs the program in the scratch folder with `arguments` and `input` on a pipe. With
// `between_runs`, the answers in `more_input` are given only once the program has asked the
// restart question and `between_runs` has been done, as a user who changes a file meanwhile.
Outcome run_program(const Scratch& scratch, const std::string& arguments, const std::string& input,
                    const std::string& more_input = {},
                    const std::function<void()>& between_runs = {}) {
    // The answers are written before the output is read: they must fit in the pipe.
    if (input.size() > 4096 || more_input.size() > 4096) {
        throw std::invalid_argument("answers longer than a pipe holds");
    }
    const char* external = external_command();
    const std::string binary = GIRONARIO_BINARY;
    std::string command = external != nullptr ? external : "'" + binary + "'";
    if (!arguments.empty()) {
        command += " " + arguments;
    }
    std::string shell = "sh", dash_c = "-c";
    char* argv[] = {shell.data(), dash_c.data(), command.data(), nullptr};
    const std::string folder = scratch.folder().string();

    int to_program[2];
    int from_program[2];
    if (pipe2(to_program, O_CLOEXEC) != 0 || pipe2(from_program, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const int errors =
        open(scratch.errors_file().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (errors < 0) {
        throw std::runtime_error("cannot create " + scratch.errors_file().string());
    }
    // A program that ends without reading all its answers must not end this process too.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);
        // English system messages, whatever the machine's language. This process has one
        // thread, so the child may still change its environment.
        setenv("LC_ALL", "C", 1);
        if (dup2(to_program[0], 0) < 0 || dup2(from_program[1], 1) < 0 || dup2(errors, 2) < 0 ||
            chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        execv("/bin/sh", argv);
        _exit(127);
    }
    close(to_program[0]);
    close(from_program[1]);
    close(errors);
    if (pid < 0) {
        close(to_program[1]);
        close(from_program[0]);
        throw std::runtime_error("fork failed");
    }

    Outcome outcome;
    write_all(to_program[1], input);
    if (between_runs) {
        read_output(from_program[0], outcome.output, as_written(restart_question));
        between_runs();
        write_all(to_program[1], more_input);
    }
    close(to_program[1]);
    read_output(from_program[0], outcome.output);
    close(from_program[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.errors = read_file(scratch.errors_file());
    return outcome;
}

std::string shown(const std::string& bytes) {
    return testing::PrintToString(bytes);
}

void expect_bytes(const std::string& actual, const std::string& expected, const std::string& what) {
    if (actual == expected) {
        return;
    }
    const auto at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first -
        actual.begin());
    if (actual.size() <= 2000 && expected.size() <= 2000) {
        ADD_FAILURE() << what << " differs at byte " << at << "\n  actual:   " << shown(actual)
                      << "\n  expected: " << shown(expected);
        return;
    }
    const std::size_t from = at < 40 ? 0 : at - 40;
    ADD_FAILURE() << what << " differs at byte " << at << " (" << actual.size()
                  << " bytes, expected " << expected.size() << "), from byte " << from
                  << "\n  actual:   " << shown(actual.substr(from, 80))
                  << "\n  expected: " << shown(expected.substr(from, 80));
}

// Another system words its reasons its own way and its wrapper may add lines of its own, so
// against an outside command only the program's own part of each message is looked for.
void expect_errors(const std::string& actual, const std::string& expected) {
    if (external_command() == nullptr) {
        expect_bytes(actual, expected, "standard error");
        return;
    }
    const std::string errors = without_cr(actual);
    std::istringstream lines(expected);
    for (std::string line; std::getline(lines, line);) {
        // "gironario: <file>: <what>: <reason>": the reason is the system's.
        std::size_t separators = 0;
        for (std::size_t at = line.find(": "); at != std::string::npos;
             at = line.find(": ", at + 1)) {
            ++separators;
        }
        if (separators >= 3) {
            line.erase(line.rfind(": ") + 2);
        }
        EXPECT_NE(errors.find(line), std::string::npos) << shown(line) << " in " << shown(errors);
    }
    if (expected.empty()) {
        EXPECT_EQ(errors.find("gironario:"), std::string::npos) << shown(errors);
    }
}

struct Entry {
    Kind kind;
    std::string bytes;  // a regular file's content, a symbolic link's target
};
using Listing = std::map<std::string, Entry>;

Listing list_folder(const fs::path& folder) {
    Listing listing;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().lexically_relative(folder).generic_string();
        if (entry.is_symlink()) {
            listing[name] = {Kind::symlink, fs::read_symlink(entry.path()).string()};
        } else if (entry.is_directory()) {
            listing[name] = {Kind::directory, ""};
        } else {
            listing[name] = {Kind::regular, read_file(entry.path())};
        }
    }
    return listing;
}

// The folder as `files` left it, with `written` over it.
Listing expected_folder(const std::vector<File>& files, const std::vector<File>& written = {},
                        const std::string& removed = {}) {
    Listing listing;
    for (const File& file : files) {
        if (file.kind == Kind::hard_link) {
            listing[file.name] = listing.at(file.bytes);
        } else {
            listing[file.name] = {file.kind, file.kind == Kind::directory ? "" : file.bytes};
        }
    }
    listing.erase(removed);
    for (const File& file : written) {
        listing[file.name] = {Kind::regular, as_written(file.bytes)};
    }
    return listing;
}

void expect_folder(const Listing& actual, const Listing& expected) {
    for (const auto& [name, entry] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) {
            ADD_FAILURE() << name << " is missing";
        } else if (found->second.kind != entry.kind) {
            ADD_FAILURE() << name << " is not of the kind it was";
        } else {
            expect_bytes(found->second.bytes, entry.bytes, name);
        }
    }
    for (const auto& [name, entry] : actual) {
        if (expected.count(name) == 0) {
            ADD_FAILURE() << name << " was not expected, it holds " << shown(entry.bytes);
        }
    }
}

void check(const Case& row) {
    if (row.posix_only && external_command() != nullptr) {
        GTEST_SKIP() << "needs symbolic links or file kinds that only POSIX systems offer";
    }
    Scratch scratch;
    lay_out(scratch.folder(), row.files);
    const fs::path removed = scratch.folder() / row.removed_between_runs;
    const Outcome outcome =
        row.removed_between_runs.empty()
            ? run_program(scratch, "", row.input)
            : run_program(scratch, "", row.input, row.more_input, [&] { fs::remove(removed); });
    expect_bytes(outcome.output, as_written(row.output), "standard output");
    expect_errors(outcome.errors, row.errors);
    EXPECT_EQ(outcome.status, row.status);
    expect_folder(list_folder(scratch.folder()),
                  expected_folder(row.files, row.written, row.removed_between_runs));
}

class EndToEnd : public testing::TestWithParam<Case> {};

TEST_P(EndToEnd, Run) {
    check(GetParam());
}

std::string row_name(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

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
           "2 13/10/07 18:00 PalaA Alfa - Gamma\r\n5 13/10/07 18:00 PalaC Zeta - Delta\n\n"}}}),
    row_name);

INSTANTIATE_TEST_SUITE_P(InputEnds, EndToEnd, testing::Values(
    Case{"AtFormatQuestion", "", example(), format_question, {}, 1, input_ended},
    Case{"AfterRefusedFormat", "k", example(),
         format_question + format_refused + format_question, {}, 1, input_ended},
    // The output was opened, and so emptied, at the format question.
    Case{"AtFirstYearQuestion", "t\n", example(),
         format_question + year_question_1, {{"calendario.txt", ""}}, 1, input_ended},
    Case{"AtSecondYearQuestion", "t\n2\n", example(),
         questions, {{"calendario.txt", ""}}, 1, input_ended},
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
         questions + restart_question, {{"calendario.txt", ""}}, 1,
         failure("calendario1.txt", "errore di lettura", "Is a directory"), posix_only},
    Case{"MissingCalendar", "t\n2\n2\nn\n", {{"calendario1.txt", line_1 + line_2}},
         questions + restart_question, {{"calendario.txt", ""}}, 1,
         failure("calendario2.txt", "impossibile aprire il file", no_file)},
    Case{"MissingCalendarInSecondRun", "t\n2\n2\ny\n", example(),
         completed_run(4, "calendario.txt") + questions + restart_question,
         {{"calendario.txt", ""}}, 1,
         failure("calendario2.txt", "impossibile aprire il file", no_file),
         false, "calendario2.txt", "t\n2\n2\nn\n"},
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
                             "5\t5\t13/10/07\t18:00\tPalaC\tZeta\0\0Delta\n"s}}}),
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
    // temp.txt is written through both names before the export sees the link.
    Case{"TableTargetHardLinkToTemp", "x\n2\n2\nn\n",
         example({{"temp.txt", "old\n"}, hard_link("calendario.xls", "temp.txt")}),
         questions + restart_question, {{"temp.txt", merged}, {"calendario.xls", merged}}, 1,
         refused_as("calendario.xls", "temp.txt")}),
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

TEST(Arguments, UnknownArgumentShowsTheUsage) {
    Scratch scratch;
    lay_out(scratch.folder(), example());
    const std::string usage = without_cr(run_program(scratch, "--help", "").output);
    for (const std::string arguments : {"--boh", "--help --version", "t"}) {
        const Outcome outcome = run_program(scratch, arguments, "t\n2\n2\nn\n");
        const std::string first = arguments.substr(0, arguments.find(' '));
        expect_bytes(without_cr(outcome.errors),
                     "gironario: argomento non riconosciuto: " + first + "\n\n" + usage, arguments);
        EXPECT_EQ(outcome.output, "") << arguments;
        EXPECT_EQ(outcome.status, 2) << arguments;
    }
    expect_folder(list_folder(scratch.folder()), expected_folder(example()));
}

}  // namespace
