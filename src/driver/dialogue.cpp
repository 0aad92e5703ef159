#include "driver/dialogue.hpp"

#include <array>
#include <string>
#include <string_view>

#include "driver/answers.hpp"
#include "driver/run.hpp"

namespace gironario {

namespace {

constexpr std::string_view format_question =
    "In quale formato vuoi che venga salvato il calendario?(scrivi t per file di testo,w per "
    "Word,x per Ecxel,h per pagina web e poi premi invio)\n";
constexpr std::string_view format_refused = "Hai inserito un valore non corretto!\n";
constexpr std::array<std::string_view, 2> year_questions = {
    "Di quante cifre \xE8 composto l'anno delle date presenti in calendario1.txt?\n",
    "Di quante cifre \xE8 composto l'anno delle date presenti in calendario2.txt?\n",
};
constexpr std::string_view year_refused =
    "Inserimento delle cifre attribuite all'anno non corretto! Riprovare:\n";
constexpr std::string_view restart_question =
    "\nVoui ricominciare?(y/n)\nNB:Scegliendo lo stesso formato dell'esecuzione precedente, si "
    "sovrascrive il vecchio file\n";

enum class RunResult { completed, failed, input_ended };

class Dialogue {
  public:
    Dialogue(std::istream& in, Console& console, Folder& folder)
        : in_(in), console_(console), folder_(folder) {}

    int run() {
        bool all_completed = true;
        char again = 'y';
        while (again == 'y' || again == 'Y') {
            const RunResult result = one_run();
            if (result == RunResult::input_ended) {
                console_.warn("gironario: l'input \xE8 terminato prima della risposta\n");
                return EXIT_FAILED;
            }
            all_completed = all_completed && result == RunResult::completed;
            console_.say(restart_question);
            const Answer answer = read_character(ask());
            if (answer.kind == Answer::Kind::end) {
                break;  // as if the answer were no
            }
            again = static_cast<char>(answer.value);
            read_character(in_);
        }
        return all_completed ? EXIT_OK : EXIT_FAILED;
    }

  private:
    RunResult one_run() {
        std::optional<Format> format;
        while (!format) {
            console_.say(format_question);
            const Answer answer = read_character(ask());
            if (answer.kind == Answer::Kind::end) {
                return RunResult::input_ended;
            }
            read_character(in_);
            format = parse_format(static_cast<char>(answer.value));
            if (!format) {
                console_.say(format_refused);
            }
        }
        RunRequest request;
        request.format = *format;
        for (const std::string_view name : default_calendars) {
            request.calendars.push_back({std::string(name), std::nullopt});
        }
        // Whether the result can be written is told at once, as the user expects from earlier
        // runs; the file itself is only replaced once the run is complete.
        if (!result_can_be_written(request, folder_, console_)) {
            return RunResult::failed;
        }
        for (std::size_t i = 0; i < request.calendars.size(); ++i) {
            request.calendars[i].year_digits = ask_year_digits(year_questions[i]);
            if (!request.calendars[i].year_digits) {
                return RunResult::input_ended;
            }
        }
        return carry_out(request, folder_, console_) ? RunResult::completed : RunResult::failed;
    }

    // Asks for the year digits until they are 2 or 4; nothing when the input ends.
    std::optional<int> ask_year_digits(std::string_view question) {
        for (;;) {
            console_.say(question);
            const Answer answer = read_number(ask());
            if (answer.kind == Answer::Kind::end) {
                return std::nullopt;
            }
            read_character(in_);
            if (answer.kind == Answer::Kind::value) {
                if (const std::optional<int> digits = parse_year_digits(answer.value)) {
                    return digits;
                }
            }
            console_.say(year_refused);
        }
    }

    // The console input, once everything asked is on the screen.
    std::istream& ask() {
        console_.flush();
        return in_;
    }

    std::istream& in_;
    Console& console_;
    Folder& folder_;
};

}  // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, Folder& folder,
                 ConsoleEncoding encoding) {
    Console console(out, err, encoding);
    return Dialogue(in, console, folder).run();
}

}  // namespace gironario
