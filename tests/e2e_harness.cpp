#include "e2e_harness.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include <gtest/gtest.h>

namespace gironario::e2e {

namespace fs = std::filesystem;
using namespace gironario::console;

const std::string questions = format_question + year_question_1 + year_question_2;

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

namespace {

// One table row of the web page; the last cell ends with the line's own line feed.
std::string web_row(const std::vector<std::string>& cells) {
    std::string row = "<TR bgcolor=#c0ffff>\n\t<TD>";
    for (std::size_t i = 0; i < cells.size(); ++i) {
        row += (i > 0 ? "</TD>\n\t<TD>" : "") + cells[i];
    }
    return row + "\t</TD>\n</TR>\n";
}

}  // namespace

const std::string web_page =
    "<HTML>\n<BODY>\n<TABLE border=1 bgcolor=#80ff80>\n"
    "<TR><TD><b>N</b></TD><TD align=center><b>DATA</b></TD><TD align=center><b>ORARIO</b></TD>"
    "<TD align=center><b>LUOGO</b></TD><TD align=center><b>PARTITA</b></TD></TR>" +
    web_row({"1", "06/10/07", "18:00", "PalaA", "Alfa - Beta\n"}) +
    web_row({"4", "06/10/07", "21:00", "PalaB", "Delta - Eta\n"}) + web_row({"\n"}) +
    web_row({"2", "13/10/07", "18:00", "PalaA", "Alfa - Gamma\n"}) +
    web_row({"5", "13/10/07", "18:00", "PalaC", "Zeta - Delta\n"}) + "\n</TABLE>\n</BODY>\n</HTML>";

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

std::vector<File> example(const std::vector<File>& extra) {
    std::vector<File> files = calendars(line_1 + line_2, line_4 + line_5);
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

const char* external_command() {
    const char* command = std::getenv("GIRONARIO_COMMAND");
    return command != nullptr && *command != '\0' ? command : nullptr;
}

namespace {

bool crlf_expected() {
    const char* crlf = std::getenv("GIRONARIO_CRLF");
    return crlf != nullptr && std::string_view(crlf) == "1";
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

int open_for_writing(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path + " for writing");
    }
    return fd;
}

// The child's side of run_program, between fork and exec: only calls that are safe there.
[[noreturn]] void start_program(char** argv, const std::string& folder, const RunOptions& options,
                                int input, int output, int errors) {
    // Whatever this process was started with, the program ends at a broken pipe and at the file
    // size limit as it would from a shell.
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
    // English system messages, whatever the machine's language. This process has one thread,
    // so the child may still change its environment.
    setenv("LC_ALL", "C", 1);
    for (const auto& [name, value] : options.environment) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    const auto limit = static_cast<rlim_t>(options.file_size_limit);
    const rlimit file_size{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &file_size) != 0 || dup2(input, 0) < 0 || dup2(output, 1) < 0 ||
        dup2(errors, 2) < 0 || chdir(folder.c_str()) != 0) {
        _exit(126);
    }
    execv("/bin/sh", argv);
    _exit(127);
}

}  // namespace

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

Scratch::Scratch() {
    std::string pattern = (fs::temp_directory_path() / "gironario-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder in " + pattern);
    }
    root_ = pattern;
    fs::create_directory(folder());
}

Scratch::~Scratch() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

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

Outcome run_program(const Scratch& scratch, const std::string& arguments, const std::string& input,
                    const RunOptions& options, const std::string& more_input,
                    const std::function<void()>& between_runs) {
    // The answers are written before the output is read: they must fit in the pipe.
    if (input.size() > 4096 || more_input.size() > 4096) {
        throw std::invalid_argument("answers longer than a pipe holds");
    }
    if (between_runs && !options.standard_output.empty()) {
        throw std::invalid_argument("the restart question cannot be awaited on another output");
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
    const int errors = open_for_writing(scratch.errors_file().string());
    const int output = options.standard_output.empty() ? from_program[1]
                                                       : open_for_writing(options.standard_output);
    // A program that ends without reading all its answers must not end this process too.
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid == 0) {
        start_program(argv, folder, options, to_program[0], output, errors);
    }
    close(to_program[0]);
    close(from_program[1]);
    close(errors);
    if (output != from_program[1]) {
        close(output);
    }
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

Listing expected_folder(const std::vector<File>& files, const std::vector<File>& written,
                        const std::string& removed) {
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

void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

void check(const Case& row) {
    if (row.posix_only && external_command() != nullptr) {
        GTEST_SKIP() << "needs symbolic links or file kinds that only POSIX systems offer";
    }
    Scratch scratch;
    lay_out(scratch.folder(), row.files);
    const fs::path removed = scratch.folder() / row.removed_between_runs;
    const Outcome outcome = row.removed_between_runs.empty()
                                ? run_program(scratch, row.arguments, row.input, row.options)
                                : run_program(scratch, row.arguments, row.input, row.options,
                                              row.more_input, [&] { fs::remove(removed); });
    expect_bytes(outcome.output, as_written(row.output), "standard output");
    expect_errors(outcome.errors, row.errors);
    EXPECT_EQ(outcome.status, row.status);
    expect_folder(list_folder(scratch.folder()),
                  expected_folder(row.files, row.written, row.removed_between_runs));
}

std::string row_name(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

TEST_P(EndToEnd, Run) {
    check(GetParam());
}

}  // namespace gironario::e2e
