#include "driver/dialogue.hpp"

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "calendar/calendar_line.hpp"
#include "calendar/line_reader.hpp"
#include "calendar/line_writer.hpp"
#include "calendar/merge.hpp"
#include "driver/answers.hpp"
#include "export/table_export.hpp"

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
constexpr std::string_view summary_before_count = "\n";
constexpr std::string_view summary_after_count =
    " gare presenti complessivamente\n- Gironario successfully executed - Congratulations by "
    "Lorvane -\n";
constexpr std::string_view restart_question =
    "\nVoui ricominciare?(y/n)\nNB:Scegliendo lo stesso formato dell'esecuzione precedente, si "
    "sovrascrive il vecchio file\n";

constexpr std::array<std::string_view, 2> calendar_names = {"calendario1.txt", "calendario2.txt"};

// The files of a format: where the merge writes, and the table made from it, if any.
struct FormatFiles {
    std::string_view merged;
    std::string_view table;
    TableKind table_kind;
    std::string_view final_message;
};

const FormatFiles& files_of(Format format) {
    static const std::array<FormatFiles, 4> files = {{
        {"calendario.txt", "", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.txt\n"},
        {"calendario.doc", "", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.doc\n"},
        {"temp.txt", "calendario.xls", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.xls\n"},
        {"temp.txt", "calendario.html", TableKind::web_page,
         "Complimenti! Il tuo calendario si trova nel file calendario.html\n"},
    }};
    return files[static_cast<std::size_t>(format)];
}

enum class RunResult { completed, failed, input_ended };

class Dialogue {
  public:
    Dialogue(std::istream& in, std::ostream& out, std::ostream& err, Folder& folder)
        : in_(in), out_(out), err_(err), folder_(folder) {}

    int run() {
        bool all_completed = true;
        char again = 'y';
        while (again == 'y' || again == 'Y') {
            const RunResult result = one_run();
            if (result == RunResult::input_ended) {
                err_ << "gironario: l'input \xE8 terminato prima della risposta\n";
                return EXIT_FAILED;
            }
            all_completed = all_completed && result == RunResult::completed;
            say(restart_question);
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
            say(format_question);
            const Answer answer = read_character(ask());
            if (answer.kind == Answer::Kind::end) {
                return RunResult::input_ended;
            }
            read_character(in_);
            format = parse_format(static_cast<char>(answer.value));
            if (!format) {
                say(format_refused);
            }
        }
        const FormatFiles& files = files_of(*format);
        const std::string merged_name(files.merged);

        // The output is opened at once, as the user expects from earlier runs, but never over a
        // calendar: that would empty it.
        if (overwrites_calendar(merged_name)) {
            return RunResult::failed;
        }
        int error = 0;
        std::unique_ptr<Output> merged_file = folder_.create(merged_name, error);
        if (!merged_file) {
            report(merged_name, "impossibile creare il file", error);
            return RunResult::failed;
        }

        std::array<int, 2> year_digits{};
        for (std::size_t i = 0; i < year_digits.size(); ++i) {
            const std::optional<int> digits = ask_year_digits(year_questions[i]);
            if (!digits) {
                return RunResult::input_ended;
            }
            year_digits[i] = *digits;
        }

        std::array<std::unique_ptr<Input>, 2> calendar_files;
        for (std::size_t i = 0; i < calendar_files.size(); ++i) {
            const std::string name(calendar_names[i]);
            calendar_files[i] = folder_.open(name, error);
            if (!calendar_files[i]) {
                report(name, "impossibile aprire il file", error);
                return RunResult::failed;
            }
        }

        long long matches = 0;
        {
            LineReader reader1(*calendar_files[0]);
            LineReader reader2(*calendar_files[1]);
            LineWriter writer(*merged_file);
            Calendar first{reader1, year_digits[0]};
            Calendar second{reader2, year_digits[1]};
            matches = merge(first, second, writer);
            // Every failure is told, not only the first.
            bool ok = read_ok(reader1, calendar_names[0]);
            ok = read_ok(reader2, calendar_names[1]) && ok;
            ok = written_ok(writer, merged_name) && ok;
            if (!ok) {
                return RunResult::failed;
            }
        }

        if (!files.table.empty() && !export_table_file(files, matches)) {
            return RunResult::failed;
        }

        say(summary_before_count);
        out_ << matches;
        say(summary_after_count);
        say(files.final_message);
        return RunResult::completed;
    }

    // Asks for the year digits until they are 2 or 4; nothing when the input ends.
    std::optional<int> ask_year_digits(std::string_view question) {
        for (;;) {
            say(question);
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
            say(year_refused);
        }
    }

    bool export_table_file(const FormatFiles& files, long long matches) {
        const std::string merged_name(files.merged);
        const std::string table_name(files.table);
        if (overwrites_calendar(table_name) || overwrites(table_name, merged_name)) {
            return false;
        }
        int error = 0;
        std::unique_ptr<Input> merged_file = folder_.open(merged_name, error);
        if (!merged_file) {
            report(merged_name, "impossibile aprire il file", error);
            return false;
        }
        std::unique_ptr<Output> table_file = folder_.create(table_name, error);
        if (!table_file) {
            report(table_name, "impossibile creare il file", error);
            return false;
        }
        LineReader reader(*merged_file);
        LineWriter writer(*table_file);
        export_table(files.table_kind, reader, matches, writer);
        const bool ok = read_ok(reader, merged_name);
        return written_ok(writer, table_name) && ok;
    }

    bool overwrites_calendar(const std::string& name) {
        for (std::string_view calendar : calendar_names) {
            if (overwrites(name, std::string(calendar))) {
                return true;
            }
        }
        return false;
    }

    // Whether writing `name` would destroy `precious`; says so when it would.
    bool overwrites(const std::string& name, const std::string& precious) {
        if (!folder_.same_file(name, precious)) {
            return false;
        }
        err_ << "gironario: " << name << ": \xE8 lo stesso file di " << precious
             << ", che non viene sovrascritto\n";
        return true;
    }

    bool read_ok(const LineReader& reader, std::string_view name) {
        if (!reader.failed()) {
            return true;
        }
        report(name, "errore di lettura", reader.error());
        return false;
    }

    bool written_ok(LineWriter& writer, std::string_view name) {
        if (writer.close()) {
            return true;
        }
        report(name, "errore di scrittura", writer.error());
        return false;
    }

    void report(std::string_view name, std::string_view what, int error) {
        err_ << "gironario: " << name << ": " << what << ": " << std::strerror(error) << '\n';
    }

    void say(std::string_view text) { out_ << text; }

    // The console input, once everything asked is on the screen.
    std::istream& ask() {
        out_.flush();
        return in_;
    }

    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    Folder& folder_;
};

}  // namespace

int run_dialogue(std::istream& in, std::ostream& out, std::ostream& err, Folder& folder) {
    return Dialogue(in, out, err, folder).run();
}

}  // namespace gironario
