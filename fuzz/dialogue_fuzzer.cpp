// Runs the whole dialogue on a console input and two calendars from the fuzz input, in a folder
// held in memory that may hold links, missing files, a directory, a full disk or a broken file.
// Checks that the dialogue ends, that "Complimenti" is printed only when the run's files were all
// written and hold what they must, that the calendars are never changed, and that the exit status
// tells whether every run was completed.
//
// Input: five bytes of settings, then the console input, a line "====", calendar 1, a line
// "====", calendar 2. Settings: the troubles of the folder (byte 0), which file fills the disk
// (byte 1) after how many bytes (byte 2), which file breaks (byte 3) after how many (byte 4).

#include <chrono>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

#include "../tests/memory_folder.hpp"
#include "calendar/calendar_kind.hpp"
#include "driver/dialogue.hpp"
#include "fuzz_support.hpp"

namespace {

using namespace gironario;
using namespace gironario::fuzz;

// The day the dialogue's run takes as its own: the clock's, in UTC.
Date today() {
    const std::chrono::year_month_day day{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
            static_cast<int>(static_cast<unsigned>(day.day()))};
}

constexpr std::string_view format_question = "In quale formato vuoi che venga salvato";
constexpr std::string_view restart_question = "Voui ricominciare?(y/n)";
constexpr std::string_view count_line = " gare presenti complessivamente";
constexpr std::string_view success = "Complimenti! Il tuo calendario si trova nel file ";
constexpr std::string_view input_ended = "gironario: l'input \xE8 terminato prima della risposta";

bool starts_with(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

bool ends_with(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The console as the dialogue writes it (standard output and error in one stream, in order).
// Each line is looked at as soon as it is complete, while the folder still holds what the run
// left in it.
class Screen final : public std::streambuf {
  public:
    // Takes the calendars as the program will find them, through the links.
    explicit Screen(MemoryFolder& folder)
        : folder_(folder),
          calendar1_(folder.resolve("calendario1.txt")),
          calendar2_(folder.resolve("calendario2.txt")),
          text1_(content(calendar1_)),
          text2_(content(calendar2_)) {}

    std::string text;
    int runs = 0;
    int successes = 0;
    int restarts = 0;
    bool ended_early = false;
    // A calendar was told to have no match line, or match lines of which none could be dated:
    // there is nothing to publish, and its run fails.
    bool nothing_dated = false;

  protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            append(static_cast<char>(c));
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* data, std::streamsize size) override {
        for (std::streamsize i = 0; i < size; ++i) {
            append(data[i]);
        }
        return size;
    }

  private:
    void append(char c) {
        text += c;
        if (c == '\n') {
            line(std::string_view(text).substr(line_start_, text.size() - 1 - line_start_));
            line_start_ = text.size();
        }
    }

    void line(std::string_view line) {
        check_calendars();
        if (starts_with(line, format_question)) {
            if (!in_run_) {
                ++runs;
                in_run_ = true;
                troubles_at_start_ = folder_.troubles;
                count_ = -1;
            }
        } else if (ends_with(line, count_line)) {
            require(in_run_ && count_ < 0, "a summary outside a run, or twice in one");
            count_ = std::stoll(std::string(line.substr(0, line.size() - count_line.size())));
        } else if (starts_with(line, success)) {
            ++successes;
            check_success(line.substr(success.size()));
        } else if (line.find(": nessuna riga di gara ha una data e un'ora leggibili") !=
                       std::string_view::npos ||
                   line.find(": nessuna riga \xE8 una gara: ") != std::string_view::npos ||
                   // What is told of a calendar as a whole (a line is told with its number):
                   // its first bytes say it is a file of another kind, from which nothing is read.
                   starts_with(line, "gironario: calendario1.txt: ") ||
                   starts_with(line, "gironario: calendario2.txt: ")) {
            nothing_dated = true;
        } else if (line == restart_question) {
            ++restarts;
            in_run_ = false;
        } else if (line == input_ended) {
            ended_early = true;
        }
    }

    std::string content(const std::string& file) const {
        const auto found = folder_.files.find(file);
        return found == folder_.files.end() ? std::string() : found->second;
    }

    void check_calendars() const {
        require(content(calendar1_) == text1_ && content(calendar2_) == text2_,
                "a calendar was changed");
    }

    void check_success(std::string_view target) const {
        require(in_run_, "Complimenti outside a run");
        require(folder_.troubles == troubles_at_start_,
                "Complimenti for a run that met a missing file, a read error or a full disk");
        require(count_ >= 0, "Complimenti without the number of matches");
        const bool table = target == "calendario.xls" || target == "calendario.html";
        require(table || target == "calendario.txt" || target == "calendario.doc",
                "Complimenti names an unknown file");
        const std::string merged_name = table ? "temp.txt" : std::string(target);
        const auto merged = folder_.files.find(folder_.resolve(merged_name));
        require(merged != folder_.files.end(), "Complimenti, but the merged text is missing");

        // The year digits are not known here: one of the four pairs must fit.
        std::string_view fault;
        for (const int digits1 : {2, 4}) {
            for (const int digits2 : {2, 4}) {
                const std::size_t capacity = LineReader::default_capacity;
                fault = merged_fault(
                    merged->second,
                    written_matches(without_byte_order_mark(text1_), digits1, capacity, today()),
                    written_matches(without_byte_order_mark(text2_), digits2, capacity, today()),
                    count_);
                if (fault.empty()) {
                    break;
                }
            }
            if (fault.empty()) {
                break;
            }
        }
        require(fault.empty(), fault);

        if (table) {
            const auto made = folder_.files.find(folder_.resolve(std::string(target)));
            require(made != folder_.files.end(), "Complimenti, but the table is missing");
            const Table kind = target == "calendario.xls" ? Table::spreadsheet : Table::web_page;
            require(made->second == expected_table(kind, merged->second, count_),
                    "Complimenti, but the table is not made of the merged text");
        }
    }

    MemoryFolder& folder_;
    const std::string calendar1_;  // the names the calendars really have
    const std::string calendar2_;
    const std::string text1_;
    const std::string text2_;
    std::size_t line_start_ = 0;
    bool in_run_ = false;
    int troubles_at_start_ = 0;
    long long count_ = -1;
};

const std::string outputs[] = {"calendario.txt", "calendario.doc", "temp.txt", "calendario.xls",
                               "calendario.html"};

// Sets up the troubles that byte 0 names; false when it names none.
bool set_troubles(MemoryFolder& folder, unsigned char choice) {
    switch (choice % 16) {
        case 1:
            folder.links["calendario.txt"] = "calendario1.txt";
            return true;
        case 2:
            folder.links["calendario.doc"] = "calendario2.txt";
            return true;
        case 3:
            folder.links["temp.txt"] = "calendario1.txt";
            return true;
        case 4:
            folder.links["calendario.xls"] = "temp.txt";
            return true;
        case 5:
            folder.links["calendario.html"] = "calendario2.txt";
            return true;
        case 6:
            folder.links["calendario1.txt"] = "perso.txt";  // a link to nothing
            return true;
        case 7:
            folder.links["calendario2.txt"] = "perso.txt";
            return true;
        case 8:
            folder.links["calendario2.txt"] = "cartella";
            folder.directories.insert("cartella");
            return true;
        case 9:
            folder.directories.insert("temp.txt");
            return true;
        case 10:
            folder.links["calendario.html"] = "temp.txt";
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const std::string_view input(reinterpret_cast<const char*>(data) + 5, size - 5);
    const std::vector<std::string_view> parts = cut(input, 3);
    // The model of what is written is a text calendar's; a calendar whose first bytes make it a
    // table, a page or a workbook is the other targets' to fuzz.
    for (std::size_t i = 1; i <= 2; ++i) {
        if (calendar_kind("calendario.txt", parts[i]) != CalendarKind::text) {
            return 0;
        }
    }

    MemoryFolder folder;
    folder.files["calendario1.txt"] = std::string(parts[1]);
    folder.files["calendario2.txt"] = std::string(parts[2]);
    bool troubled = set_troubles(folder, data[0]);
    if (data[1] % 8 >= 1 && data[1] % 8 <= 5) {
        folder.room[outputs[data[1] % 8 - 1]] = std::size_t{data[2]} * 16;
        troubled = true;
    }
    if (data[3] % 8 >= 1 && data[3] % 8 <= 3) {
        static const std::string broken[] = {"calendario1.txt", "calendario2.txt", "temp.txt"};
        folder.breaks_after[broken[data[3] % 8 - 1]] = std::size_t{data[4]} * 16;
        troubled = true;
    }

    Screen console(folder);
    std::ostream out(&console);
    std::istringstream in{std::string(parts[0])};

    const int status = run_dialogue(in, out, out, folder);

    require(status == EXIT_OK || status == EXIT_FAILED, "an exit status other than 0 or 1");
    require((status == EXIT_OK) == (!console.ended_early && console.successes == console.runs),
            "the exit status does not tell whether every run was completed");
    require(console.runs == console.restarts + (console.ended_early ? 1 : 0),
            "a run that neither asked to start again nor told that the input ended");
    if (!troubled && !console.nothing_dated) {
        require(console.successes == console.restarts,
                "a run without any trouble was not completed");
    }
    // Every question takes at least one byte of the answers, so a dialogue that goes on writing
    // without reading them is stuck; a run's warnings are capped, a few kilobytes at most.
    require(console.text.size() <= 400 * (parts[0].size() + 2) + 8 * 1024,
            "the dialogue talks without end");
    return 0;
}
