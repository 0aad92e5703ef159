#include "driver/run.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "calendar/calendar.hpp"
#include "calendar/line_check.hpp"
#include "calendar/prepared_source.hpp"
#include "calendar/row_encoding.hpp"
#include "calendar/year_guess.hpp"
#include "driver/standard_output.hpp"
#include "export/ics_previous.hpp"
#include "export/table_export.hpp"
#include "io/byte_order_mark.hpp"
#include "io/line_reader.hpp"
#include "io/line_writer.hpp"
#include "io/replayed_input.hpp"
#include "io/text.hpp"

namespace gironario {

namespace {

// The day of the run in UTC, near enough to tell which season a date without a year is in; a
// run that was given no time (the dialogue) takes the clock's.
Date run_day(std::time_t now) {
    if (now == 0) {
        now = std::time(nullptr);
    }
    const std::chrono::sys_days day =
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::from_time_t(now));
    const std::chrono::year_month_day date{day};
    return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day()))};
}

// How much of a calendar is read ahead to find its year digits: a season's calendar whole.
constexpr std::size_t YEAR_GUESS_BYTES = 1 << 20;

constexpr std::string_view summary_after_count =
    " gare presenti complessivamente\n- Gironario successfully executed - Congratulations by "
    "Lorvane -\n";
constexpr std::string_view final_message = "Complimenti! Il tuo calendario si trova nel file ";
constexpr std::string_view final_message_on_standard_output =
    "Complimenti! Il tuo calendario \xE8 stato scritto sullo standard output\n";

// Whether a format puts a match whose day is known and whose time is not set yet on its day: the
// phone calendar as an event of that whole day, the page under its day. The formats that copy
// lines keep it where and as they always have.
bool places_day_known(const FormatRow& format) {
    return format.format == Format::icalendar || format.format == Format::page;
}

// A run from its start to its summary, step by step in the one order carry_out() gives.
class RunInProgress {
  public:
    RunInProgress(const RunRequest& request, Folder& folder, Console& console)
        : request_(request),
          folder_(folder),
          console_(console),
          format_(format_row(request.format)),
          inputs_(request.calendars.size()),
          prepared_(request.calendars.size()) {}

    // Opens every calendar, and finds the year digits of those that ask for it in their first
    // lines.
    bool open_calendars();

    // The result's name as the user knows it, and the file the merge writes first.
    std::string result_name() const {
        return request_.output.empty() ? std::string(format_.file) : request_.output;
    }
    bool writes_merged_text_first() const {
        return format_.table_of_merged_text && request_.output.empty();
    }
    std::string merge_target() const {
        return writes_merged_text_first() ? std::string(TEMP_FILE) : result_name();
    }

    // Creates `name` to be written, unless that would destroy a calendar or `precious`; null,
    // after saying why, when it can't.
    std::unique_ptr<Output> create(const std::string& name, const std::string& precious = {});

    // Merges the calendars into `output` (named `name`) and puts it in place; the number of
    // matches, or nothing after saying what failed.
    std::optional<long long> merge(std::unique_ptr<Output> output, const std::string& name);

    // The table made from temp.txt, for the formats that go through it.
    bool make_table(long long matches);

    // The file that the result replaces, read, for a format written against it.
    void read_previous(const std::string& name);

    void summarize(long long matches);

  private:
    bool overwrites(const std::string& name, const std::string& precious);
    // Tells the rows or events of a calendar read whole that are not placed.
    void tell_unplaced(const PreparedCalendar& prepared, std::size_t calendar,
                       CalendarChecks& checks);
    bool read_ok(const LineReader& reader, std::string_view name);
    bool put_in_place(LineWriter& writer, std::string_view name, bool wanted);

    const RunRequest& request_;
    Folder& folder_;
    Console& console_;
    const FormatRow& format_;
    // Read whole (prepared_source.hpp): reads a table or an iCalendar file into `prepared`.
    bool prepare(const CalendarRequest& calendar, CalendarKind kind, Input& input,
                 PreparedCalendar& prepared);

    std::vector<std::unique_ptr<Input>> inputs_;
    // Of each calendar read whole, else null: its records point into it, so it never moves.
    std::vector<std::unique_ptr<PreparedCalendar>> prepared_;
    std::vector<int> year_digits_;
    // Whether a calendar of the run is in Windows-1252, so that the lines copied from rows are too.
    bool windows_1252_ = false;
    std::unique_ptr<IcsChanges> changes_;  // against the file replaced, when there is one
};

bool RunInProgress::open_calendars() {
    year_digits_.assign(inputs_.size(), 2);
    bool found = true;
    // The first lines of each text calendar, read ahead; valid until its lines are read.
    std::vector<std::string_view> text_heads;
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        const CalendarRequest& calendar = request_.calendars[i];
        int error = 0;
        std::unique_ptr<Input> input = calendar.name == STANDARD_INPUT
                                           ? folder_.open_standard_input(error)
                                           : folder_.open(calendar.name, error);
        if (!input) {
            console_.report(calendar.name, "impossibile aprire il file", error);
            return false;
        }
        // What the calendar is is told by its first bytes, kept to be read again: a calendar is
        // read once, standard input and pipes included. They are a season's calendar whole.
        auto replayed = std::make_unique<ReplayedInput>(std::move(input), YEAR_GUESS_BYTES);
        if (replayed->error() != 0) {
            // The other calendars are still read, so that all of them are told at once.
            console_.report(calendar.name, "errore di lettura", replayed->error());
            found = false;
            continue;
        }
        const CalendarKind kind = calendar_kind(calendar.name, replayed->head());
        if (read_whole(kind)) {
            prepared_[i] = std::make_unique<PreparedCalendar>();
            if (!prepare(calendar, kind, *replayed, *prepared_[i])) {
                return false;
            }
            if (!prepared_[i]->text) {
                continue;
            }
            // A document's lines, read as a text calendar's.
            replayed = std::make_unique<ReplayedInput>(
                std::make_unique<StringInput>(std::move(*prepared_[i]->text)), YEAR_GUESS_BYTES);
            prepared_[i].reset();
        }
        std::string_view head_lines = replayed->head_lines();
        if (head_lines.starts_with("\xEF\xBB\xBF")) {
            head_lines.remove_prefix(3);
        }
        text_heads.push_back(head_lines);
        if (calendar.year_digits) {
            year_digits_[i] = *calendar.year_digits;
            inputs_[i] = std::make_unique<WithoutByteOrderMark>(std::move(replayed));
            continue;
        }
        // The year digits are found in the calendar's first lines.
        StringInput head{std::string(head_lines)};
        LineReader lines(head);
        const ShapeCounts counts = count_shapes(lines);
        if (const std::optional<int> digits = guess_year_digits(counts)) {
            year_digits_[i] = *digits;
        } else {
            // The other calendars are still looked at, so that all of them are told at once.
            console_.warn_about(calendar.name,
                                "non si capisce se l'anno delle date ha 2 o 4 cifre; indicarlo con "
                                "-a (per esempio -a 4,2)");
            found = false;
        }
        inputs_[i] = std::make_unique<WithoutByteOrderMark>(std::move(replayed));
    }
    // One encoding per file written: a line copied from a text calendar keeps its bytes, so the
    // rows follow the calendars in Windows-1252 when there is one. Only rows are ever converted,
    // so a text calendar's first lines are looked at only when there are rows.
    const bool rows = std::any_of(prepared_.begin(), prepared_.end(),
                                  [](const auto& prepared) { return prepared != nullptr; });
    if (rows && !places_day_known(format_)) {
        windows_1252_ =
            windows_1252_ || std::any_of(text_heads.begin(), text_heads.end(),
                                         [](std::string_view head) { return !is_utf8(head); });
    }
    if (windows_1252_ && !places_day_known(format_)) {
        for (const auto& prepared : prepared_) {
            if (prepared) {
                rows_in_windows_1252(*prepared);
            }
        }
    }
    return found;
}

bool RunInProgress::prepare(const CalendarRequest& calendar, CalendarKind kind, Input& input,
                            PreparedCalendar& prepared) {
    std::string bytes;
    std::string block(1 << 16, '\0');
    while (const std::size_t count = input.read(block.data(), block.size())) {
        bytes.append(block, 0, count);
    }
    if (input.error() != 0) {
        console_.report(calendar.name, "errore di lettura", input.error());
        return false;
    }
    prepared = prepare_calendar(kind, bytes);
    if (!prepared.reading.error.empty()) {
        console_.warn_about(calendar.name, prepared.reading.error);
        return false;
    }
    windows_1252_ = windows_1252_ || !prepared.reading.utf8;
    // A file whose every match is unreadable would empty a published season; one whose days are
    // known without their times yet is a season to publish where such matches are placed.
    const bool day_known = std::any_of(prepared.undated.begin(), prepared.undated.end(),
                                       [](const MatchRecord& match) { return match.time_pending; });
    if (prepared.dated.empty() && !prepared.undated.empty() &&
        !(day_known && places_day_known(format_))) {
        console_.warn_about(calendar.name,
                            kind == CalendarKind::icalendar
                                ? "nessun evento ha una data e un'ora leggibili (DTSTART con "
                                  "data e ora): non viene scritto nulla"
                                : "nessuna riga ha una data e un'ora leggibili (una colonna Data "
                                  "e una Ora, per esempio 04/10/2026 e 18:00): non viene scritto "
                                  "nulla");
        return false;
    }
    return true;
}

std::unique_ptr<Output> RunInProgress::create(const std::string& name,
                                              const std::string& precious) {
    if (name == STANDARD_OUTPUT) {
        return std::make_unique<StreamOutput>(console_.output(), format_.exact_line_ends);
    }
    // Opening a calendar for writing would destroy it.
    for (const CalendarRequest& calendar : request_.calendars) {
        if (overwrites(name, calendar.name)) {
            return nullptr;
        }
    }
    if (!precious.empty() && overwrites(name, precious)) {
        return nullptr;
    }
    int error = 0;
    // An iCalendar file ends its lines with CR LF on every system; the text formats as the
    // system's text files do.
    std::unique_ptr<Output> output =
        format_.exact_line_ends ? folder_.create_exact(name, error) : folder_.create(name, error);
    if (!output) {
        console_.report(name, "impossibile creare il file", error);
    }
    return output;
}

std::optional<long long> RunInProgress::merge(std::unique_ptr<Output> output,
                                              const std::string& name) {
    const std::size_t count = inputs_.size();
    std::vector<std::unique_ptr<LineReader>> readers(count);
    std::vector<Calendar> calendars;
    calendars.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (prepared_[i]) {
            calendars.emplace_back(*prepared_[i], request_.calendars[i].name);
            continue;
        }
        readers[i] = std::make_unique<LineReader>(*inputs_[i]);
        calendars.emplace_back(*readers[i], year_digits_[i], request_.calendars[i].name);
    }
    // Places of several words: those named with --luogo and every place a table or a feed names,
    // longest first, so that "Palestra Pascoli Nord" is found before "Palestra Pascoli".
    std::vector<std::string> places = request_.places;
    for (const auto& prepared : prepared_) {
        if (prepared) {
            for (const MatchRecord& match : prepared->dated) {
                if (match.place.find(' ') != std::string::npos) {
                    places.push_back(match.place);
                }
            }
        }
    }
    std::sort(places.begin(), places.end(), [](const std::string& one, const std::string& two) {
        return one.size() != two.size() ? one.size() > two.size() : one < two;
    });
    places.erase(std::unique(places.begin(), places.end()), places.end());
    const Date today = run_day(request_.settings.now);
    for (Calendar& calendar : calendars) {
        calendar.know_places(places);
        calendar.set_run_day(today);
    }
    const TeamFilter teams(request_.teams);
    if (!teams.keeps_all()) {
        for (Calendar& calendar : calendars) {
            calendar.keep_only(teams);
        }
    }
    LineWriter writer(*output);
    const std::string result = result_name();
    const auto warn = [this](std::string_view line) { console_.put_warning(line); };
    CalendarChecks checks(calendars, warn, format_.omits_undated ? result : std::string(),
                          {request_.settings.duration_minutes, request_.settings.overlaps},
                          console_.text());
    if (places_day_known(format_)) {
        checks.place_day_known();
    }
    // What a table or an iCalendar file says of its rows and events that are not placed, first:
    // those that name the teams asked for.
    std::vector<const MatchRecord*> undated;
    std::vector<bool> undated_kept(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        if (prepared_[i]) {
            if (!teams.keeps_all()) {
                std::erase_if(prepared_[i]->undated, [&](const MatchRecord& match) {
                    return !names_a_team(teams, match);
                });
            }
            undated_kept[i] = !prepared_[i]->undated.empty();
            tell_unplaced(*prepared_[i], i, checks);
            for (MatchRecord& match : prepared_[i]->undated) {
                match.calendar = i;
                undated.push_back(&match);
            }
        }
    }
    ExportJob job{calendars, checks,         writer,  request_.settings,
                  result,    changes_.get(), undated, &teams};
    const Export write = writes_merged_text_first() ? export_merged_text : format_.write;
    const long long matches = write(job);
    checks.finish();
    for (std::size_t i = 0; i < count; ++i) {
        const Calendar& calendar = calendars[i];
        if (calendar.none_kept() && !undated_kept[i]) {
            console_.warn_about(calendar.name(),
                                "nessuna gara di questo calendario nomina le squadre di --squadra");
        }
    }
    // Every failure is told, not only the first.
    bool ok = true;
    for (std::size_t i = 0; i < count; ++i) {
        ok = (!readers[i] || read_ok(*readers[i], request_.calendars[i].name)) && ok;
    }
    // A text calendar whose every match line is unreadable would empty a published season: it
    // is nothing to publish.
    const bool read = ok;
    for (std::size_t i = 0; i < count && read; ++i) {
        if (calendars[i].only_other_lines()) {
            console_.warn_about(request_.calendars[i].name,
                                "nessuna riga \xE8 una gara: si cercano righe con numero, data, "
                                "ora, luogo e partita (per esempio \"1 04/10/2026 18:00 "
                                "PalaLorvane Lorvane - Virtus\"), e il file ha solo altro testo: "
                                "non viene scritto nulla");
            ok = false;
        } else if (checks.nothing_dated(i)) {
            console_.warn_about(request_.calendars[i].name,
                                "nessuna riga di gara ha una data e un'ora leggibili (numero, "
                                "gg/mm/aa, hh:mm, luogo e partita): non viene scritto nulla");
            ok = false;
        }
    }
    if (!put_in_place(writer, name, ok)) {
        return std::nullopt;
    }
    return matches;
}

void RunInProgress::tell_unplaced(const PreparedCalendar& prepared, std::size_t calendar,
                                  CalendarChecks& checks) {
    const MessageText text = console_.text();
    for (const SourceNotice& notice : prepared.reading.notices) {
        std::string line;
        text.about_line(line, request_.calendars[calendar].name, notice.line_number);
        text.own(line, notice.text);
        text.own(line, "\n");
        console_.put_warning(line);
    }
    for (MatchRecord match : prepared.undated) {
        if (match.time_pending && places_day_known(format_)) {
            continue;  // on its day, not left out
        }
        match.calendar = calendar;
        std::string reason;
        text.own(reason, "gara ");
        text.foreign(reason, match.number);
        text.own(reason, ": " + match.unreadable);
        text.own(reason, format_.omits_undated || format_.format == Format::page
                             ? ""
                             : ", la gara non viene scritta");
        checks.problem(match, reason);
    }
}

bool RunInProgress::make_table(long long matches) {
    const std::string merged_name(TEMP_FILE);
    const std::string table_name(format_.file);
    std::unique_ptr<Output> table_file = create(table_name, merged_name);
    if (!table_file) {
        return false;
    }
    int error = 0;
    std::unique_ptr<Input> merged_file = folder_.open(merged_name, error);
    if (!merged_file) {
        console_.report(merged_name, "impossibile aprire il file", error);
        return false;
    }
    LineReader reader(*merged_file);
    LineWriter writer(*table_file);
    export_table(*format_.table_of_merged_text, reader, matches, writer);
    const bool ok = read_ok(reader, merged_name);
    return put_in_place(writer, table_name, ok);
}

void RunInProgress::summarize(long long matches) {
    // The result's name reaches the console as the user wrote it, the rest in its encoding.
    const MessageText words = console_.text();
    std::string text;
    words.own(text, "\n" + std::to_string(matches));
    words.own(text, summary_after_count);
    // With the calendar itself on standard output, the rest goes to standard error.
    const bool on_standard_output = request_.output == STANDARD_OUTPUT;
    if (on_standard_output) {
        words.own(text, final_message_on_standard_output);
    } else {
        words.own(text, final_message);
        words.foreign(text, result_name());
        words.own(text, "\n");
    }
    if (on_standard_output) {
        console_.put_warning(text);
    } else {
        console_.put(text);
    }
    const auto say = [&](std::string_view line) {
        if (on_standard_output) {
            console_.warn(line);
        } else {
            console_.say(line);
        }
    };
    if (changes_) {
        changes_->report(say);
    }
}

// Read so that the new file is written against it; one that cannot be used is told of, and the
// new file is written as if there were none.
void RunInProgress::read_previous(const std::string& name) {
    if (!folder_.is_regular_file(name)) {
        return;  // none there, or a device or a pipe (-o /dev/null), which keeps no content
    }
    int error = 0;
    std::unique_ptr<Input> file = folder_.open_exact(name, error);
    if (!file) {
        if (error != ENOENT) {
            console_.report(name, "il calendario di prima non si apre, e non viene confrontato",
                            error);
        }
        return;
    }
    LineReader lines(*file);
    PreviousReading previous = read_previous_calendar(lines);
    if (!previous.calendar) {
        console_.warn_about(name, "il file di prima " + previous.problem +
                                      ": viene sostituito senza l'elenco dei cambiamenti");
        return;
    }
    changes_ = std::make_unique<IcsChanges>(std::move(previous.calendar));
}

// Whether writing `name` would destroy `precious`; says so when it would.
bool RunInProgress::overwrites(const std::string& name, const std::string& precious) {
    if (!folder_.same_file(name, precious)) {
        return false;
    }
    std::string line;
    const MessageText text = console_.text();
    text.own(line, "gironario: ");
    text.foreign(line, name);
    text.own(line, ": \xE8 lo stesso file di ");
    text.foreign(line, precious);
    text.own(line, ", che non viene sovrascritto\n");
    console_.put_warning(line);
    return true;
}

bool RunInProgress::read_ok(const LineReader& reader, std::string_view name) {
    if (!reader.failed()) {
        return true;
    }
    console_.report(name, "errore di lettura", reader.error());
    return false;
}

// Puts what `writer` wrote in place of the file `name` when `wanted`, else leaves the file as
// it was; false, after saying why, when the writing failed.
bool RunInProgress::put_in_place(LineWriter& writer, std::string_view name, bool wanted) {
    if (wanted ? writer.commit() : writer.close()) {
        return wanted;
    }
    console_.report(name, "errore di scrittura", writer.error());
    return false;
}

}  // namespace

bool carry_out(const RunRequest& request, Folder& folder, Console& console) {
    RunInProgress run(request, folder, console);
    if (!run.open_calendars()) {
        return false;
    }
    const std::string target = run.merge_target();
    if (format_row(request.format).compared && target != STANDARD_OUTPUT) {
        run.read_previous(target);
    }
    std::unique_ptr<Output> output = run.create(target);
    if (!output) {
        return false;
    }
    const std::optional<long long> matches = run.merge(std::move(output), target);
    if (!matches || (run.writes_merged_text_first() && !run.make_table(*matches))) {
        return false;
    }
    run.summarize(*matches);
    return true;
}

bool result_can_be_written(const RunRequest& request, Folder& folder, Console& console) {
    RunInProgress run(request, folder, console);
    // Created and left unfinished: the file is as it was.
    return run.create(run.merge_target()) != nullptr;
}

}  // namespace gironario
