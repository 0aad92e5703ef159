#pragma once

// One run of the program, whether the dialogue asked for it or the command line: the files of the
// chosen format, the merge of the two calendars and the export that follows it.

#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/byte_stream.hpp"
#include "calendar/line_reader.hpp"
#include "calendar/line_writer.hpp"
#include "driver/answers.hpp"
#include "driver/console.hpp"
#include "driver/folder.hpp"
#include "export/ics_changes.hpp"
#include "export/ics_zone.hpp"

namespace gironario {

inline constexpr std::array<std::string_view, 2> calendar_names = {"calendario1.txt",
                                                                   "calendario2.txt"};

// What a run needs beyond its format and the year digits; only the iCalendar export uses it.
struct RunClock {
    std::time_t now = 0;         // the time of the run, for the events' DTSTAMP
    int duration_minutes = 120;  // how long a match lasts
    IcsZone zone = IcsZone::europe_rome;
    std::optional<std::string>
        name;  // the calendar's name; by default its file's, less the extension
};

// Where the list of changes in the iCalendar file goes.
enum class ReportStream { standard_output, standard_error };

class Run {
  public:
    Run(Folder& folder, Console& console, Format format, RunClock clock = {});

    // Creates the file the merge writes, emptying it, unless that would destroy a calendar.
    // False, after saying why, when it can't.
    bool create_output();

    // Opens both calendars from their start (again, if they were open). False, after saying why,
    // when one can't be opened.
    bool open_calendars();

    // A calendar opened by open_calendars(), 0 or 1.
    Input& calendar(std::size_t index) { return *calendars_[index]; }

    // Merges the calendars into the output and makes the format's export; the number of matches,
    // or nothing after saying what failed. Needs create_output() and open_calendars().
    std::optional<long long> merge(const std::array<int, 2>& year_digits);

    // The count of matches and where the calendar is: what a completed run prints, and then the
    // changes against the iCalendar file it replaced, if there was one.
    void summarize(long long matches);

    // The changes against the iCalendar file replaced, if there was one, to `stream`.
    void report_changes(ReportStream stream);

  private:
    void read_previous(const std::string& name);
    bool export_table_file(long long matches);
    bool overwrites_calendar(const std::string& name);
    bool overwrites(const std::string& name, const std::string& precious);
    bool read_ok(const LineReader& reader, std::string_view name);
    bool written_ok(LineWriter& writer, std::string_view name);

    Folder& folder_;
    Console& console_;
    Format format_;
    RunClock clock_;
    std::unique_ptr<Output> output_;
    std::array<std::unique_ptr<Input>, 2> calendars_;
    std::unique_ptr<IcsChanges> changes_;  // with a previous iCalendar file
};

}  // namespace gironario
