#include "driver/dropped.hpp"

#include <filesystem>
#include <optional>
#include <string_view>

#include "driver/answers.hpp"
#include "driver/exit_status.hpp"
#include "driver/run.hpp"

namespace gironario {

namespace {

constexpr std::string_view format_question =
    "In quale formato vuoi il calendario? Scrivi la lettera e premi invio:\n"
    "  t  testo (calendario.txt)\n"
    "  w  Word (calendario.doc)\n"
    "  x  Excel (calendario.xls)\n"
    "  h  pagina web con una tabella (calendario.html)\n"
    "  i  calendario del telefono (calendario.ics)\n"
    "  p  pagina da leggere sul telefono o da stampare (calendario-pagina.html)\n";
constexpr std::string_view format_refused = "Hai inserito un valore non corretto!\n";
constexpr std::string_view input_ended = "gironario: l'input \xE8 terminato prima della risposta\n";
constexpr std::string_view press_enter = "\nPremi invio per chiudere la finestra.\n";

// One line typed, without its line end; nothing when the input ends before it.
std::optional<std::string> read_line(std::istream& in) {
    std::string line;
    for (Answer c = read_character(in); c.kind != Answer::Kind::end; c = read_character(in)) {
        if (c.value == '\n') {
            if (line.ends_with('\r')) {
                line.pop_back();  // a console that passes its CR LF on
            }
            return line;
        }
        line += static_cast<char>(c.value);
    }
    return line.empty() ? std::nullopt : std::optional<std::string>(line);
}

// The format a whole line names: one letter, of any format, in either case.
std::optional<Format> format_answered(const std::string& line) {
    return line.size() == 1 ? format_of_letter(line[0], false) : std::nullopt;
}

}  // namespace

std::string result_beside(const std::vector<std::string>& calendars, Format format) {
    const std::filesystem::path first = calendars.empty() ? "" : calendars.front();
    return (first.parent_path() / format_row(format).file).string();
}

int run_dropped(const std::vector<std::string>& calendars, std::istream& in, Console& console,
                Folder& folder, std::time_t now, bool wait_for_enter) {
    std::optional<Format> format;
    while (!format) {
        console.say(format_question);
        console.flush();
        // A whole line each time, unlike the dialogue: an Enter pressed alone is refused, and
        // does not leave the next answer half read.
        const std::optional<std::string> answer = read_line(in);
        if (!answer) {
            console.warn(input_ended);
            return EXIT_FAILED;
        }
        format = format_answered(*answer);
        if (!format) {
            console.say(format_refused);
        }
    }
    RunRequest request;
    request.format = *format;
    for (const std::string& name : calendars) {
        request.calendars.push_back({name, std::nullopt});
    }
    // Named, the result is written without temp.txt, as with -o: nothing but the result is left
    // among the user's calendars.
    request.output = result_beside(calendars, *format);
    request.settings.now = now;
    const bool completed = carry_out(request, folder, console);
    if (wait_for_enter) {
        console.say(press_enter);
        console.flush();
        read_line(in);
    }
    return completed ? EXIT_OK : EXIT_FAILED;
}

}  // namespace gironario
