#include "driver/run.hpp"

#include <cerrno>
#include <string>

#include "calendar/calendar_line.hpp"
#include "calendar/line_check.hpp"
#include "calendar/merge.hpp"
#include "export/icalendar.hpp"
#include "export/icalendar_events.hpp"
#include "export/ics_previous.hpp"
#include "export/table_export.hpp"

namespace gironario {

namespace {

// The files of a format: where the merge writes, and the table made from it, if any.
struct FormatFiles {
    std::string_view merged;
    std::string_view table;
    TableKind table_kind;
    std::string_view final_message;
};

const FormatFiles& files_of(Format format) {
    static const std::array<FormatFiles, 5> files = {{
        {"calendario.txt", "", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.txt\n"},
        {"calendario.doc", "", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.doc\n"},
        {"temp.txt", "calendario.xls", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.xls\n"},
        {"temp.txt", "calendario.html", TableKind::web_page,
         "Complimenti! Il tuo calendario si trova nel file calendario.html\n"},
        {"calendario.ics", "", TableKind::spreadsheet,
         "Complimenti! Il tuo calendario si trova nel file calendario.ics\n"},
    }};
    return files[static_cast<std::size_t>(format)];
}

constexpr std::string_view summary_before_count = "\n";
constexpr std::string_view summary_after_count =
    " gare presenti complessivamente\n- Gironario successfully executed - Congratulations by "
    "Lorvane -\n";

}  // namespace

Run::Run(Folder& folder, Console& console, Format format, RunClock clock)
    : folder_(folder), console_(console), format_(format), clock_(clock) {}

bool Run::create_output() {
    const std::string name(files_of(format_).merged);
    // Opening a calendar for writing would empty it.
    if (overwrites_calendar(name)) {
        return false;
    }
    if (format_ == Format::icalendar) {
        read_previous(name);
    }
    int error = 0;
    // An iCalendar file ends its lines with CR LF on every system; the text formats as the
    // system's text files do.
    output_ = format_ == Format::icalendar ? folder_.create_exact(name, error)
                                           : folder_.create(name, error);
    if (!output_) {
        console_.report(name, "impossibile creare il file", error);
        return false;
    }
    return true;
}

bool Run::open_calendars() {
    for (std::size_t i = 0; i < calendars_.size(); ++i) {
        const std::string name(calendar_names[i]);
        int error = 0;
        calendars_[i] = folder_.open(name, error);
        if (!calendars_[i]) {
            console_.report(name, "impossibile aprire il file", error);
            return false;
        }
    }
    return true;
}

std::optional<long long> Run::merge(const std::array<int, 2>& year_digits) {
    const FormatFiles& files = files_of(format_);
    long long matches = 0;
    {
        LineReader reader1(*calendars_[0]);
        LineReader reader2(*calendars_[1]);
        LineWriter writer(*output_);
        Calendar first{reader1, year_digits[0]};
        Calendar second{reader2, year_digits[1]};
        const auto warn = [this](std::string_view line) { console_.warn(line); };
        // Lines the iCalendar export cannot date are left out of it, and the warning says so.
        const std::string_view left_out_of = format_ == Format::icalendar ? files.merged : "";
        LineCheck check1(calendar_names[0], year_digits[0], warn, left_out_of);
        LineCheck check2(calendar_names[1], year_digits[1], warn, left_out_of);
        first.check = &check1;
        second.check = &check2;
        if (format_ == Format::icalendar) {
            const std::string_view merged = files.merged;
            IcsWriter ics(
                writer,
                {clock_.duration_minutes, ics_timestamp(clock_.now).value_or("19700101T000000Z"),
                 GIRONARIO_VERSION, clock_.zone,
                 clock_.name.value_or(std::string(merged.substr(0, merged.rfind('.'))))},
                changes_.get());
            IcalendarEvents events(ics, writer, first, {calendar_names[0], "calendario1", 0, 0, 0},
                                   {calendar_names[1], "calendario2", 0, 1, 0});
            ics.begin();
            matches = gironario::merge(first, second, events);
            ics.end();
        } else {
            matches = gironario::merge(first, second, writer);
        }
        check1.finish();
        check2.finish();
        // Every failure is told, not only the first.
        bool ok = read_ok(reader1, calendar_names[0]);
        ok = read_ok(reader2, calendar_names[1]) && ok;
        ok = written_ok(writer, files.merged) && ok;
        if (!ok) {
            return std::nullopt;
        }
    }
    if (!files.table.empty() && !export_table_file(matches)) {
        return std::nullopt;
    }
    return matches;
}

void Run::summarize(long long matches) {
    console_.say(summary_before_count);
    console_.say_number(matches);
    console_.say(summary_after_count);
    console_.say(files_of(format_).final_message);
    report_changes(ReportStream::standard_output);
}

void Run::report_changes(ReportStream stream) {
    if (!changes_) {
        return;
    }
    changes_->report([&](std::string_view line) {
        if (stream == ReportStream::standard_output) {
            console_.say(line);
        } else {
            console_.warn(line);
        }
    });
}

// The iCalendar file about to be replaced, read so that the new one is written against it. One
// that cannot be used is told of, and the new file is written as if there were none.
void Run::read_previous(const std::string& name) {
    changes_.reset();
    int error = 0;
    std::unique_ptr<Input> file = folder_.open(name, error);
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
        console_.warn("gironario: " + name + ": il file di prima " + previous.problem +
                      ": viene sostituito senza l'elenco dei cambiamenti\n");
        return;
    }
    changes_ = std::make_unique<IcsChanges>(std::move(previous.calendar));
}

bool Run::export_table_file(long long matches) {
    const FormatFiles& files = files_of(format_);
    const std::string merged_name(files.merged);
    const std::string table_name(files.table);
    if (overwrites_calendar(table_name) || overwrites(table_name, merged_name)) {
        return false;
    }
    int error = 0;
    std::unique_ptr<Input> merged_file = folder_.open(merged_name, error);
    if (!merged_file) {
        console_.report(merged_name, "impossibile aprire il file", error);
        return false;
    }
    std::unique_ptr<Output> table_file = folder_.create(table_name, error);
    if (!table_file) {
        console_.report(table_name, "impossibile creare il file", error);
        return false;
    }
    LineReader reader(*merged_file);
    LineWriter writer(*table_file);
    export_table(files.table_kind, reader, matches, writer);
    const bool ok = read_ok(reader, merged_name);
    return written_ok(writer, table_name) && ok;
}

bool Run::overwrites_calendar(const std::string& name) {
    for (std::string_view calendar : calendar_names) {
        if (overwrites(name, std::string(calendar))) {
            return true;
        }
    }
    return false;
}

// Whether writing `name` would destroy `precious`; says so when it would.
bool Run::overwrites(const std::string& name, const std::string& precious) {
    if (!folder_.same_file(name, precious)) {
        return false;
    }
    console_.warn("gironario: " + name + ": \xE8 lo stesso file di " + precious +
                  ", che non viene sovrascritto\n");
    return true;
}

bool Run::read_ok(const LineReader& reader, std::string_view name) {
    if (!reader.failed()) {
        return true;
    }
    console_.report(name, "errore di lettura", reader.error());
    return false;
}

bool Run::written_ok(LineWriter& writer, std::string_view name) {
    if (writer.close()) {
        return true;
    }
    console_.report(name, "errore di scrittura", writer.error());
    return false;
}

}  // namespace gironario
