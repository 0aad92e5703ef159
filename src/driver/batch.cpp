#include "driver/batch.hpp"

#include "calendar/line_reader.hpp"
#include "calendar/year_guess.hpp"
#include "driver/dialogue.hpp"
#include "driver/run.hpp"

namespace gironario {

namespace {

// The year digits of a calendar answered "auto", worked out from its lines; nothing, after saying
// why, when they can't be.
std::optional<int> find_year_digits(Run& run, std::size_t index, Console& console) {
    LineReader lines(run.calendar(index));
    const ShapeCounts counts = count_shapes(lines);
    if (lines.failed()) {
        console.report(calendar_names[index], "errore di lettura", lines.error());
        return std::nullopt;
    }
    const std::optional<int> digits = guess_year_digits(counts);
    if (!digits) {
        console.warn("gironario: " + std::string(calendar_names[index]) +
                     ": non si capisce se l'anno delle date ha 2 o 4 cifre; indicarlo con -a "
                     "(per esempio -a 4,2)\n");
    }
    return digits;
}

}  // namespace

int run_batch(const Options& options, Console& console, Folder& folder, std::time_t now) {
    Run run(folder, console, options.format,
            RunClock{now, options.duration_minutes, options.zone, options.name});
    if (!run.open_calendars()) {
        return EXIT_FAILED;
    }
    std::array<int, 2> year_digits{};
    bool found = true;
    for (std::size_t i = 0; i < year_digits.size(); ++i) {
        if (options.year_digits[i]) {
            year_digits[i] = *options.year_digits[i];
        } else if (const std::optional<int> digits = find_year_digits(run, i, console)) {
            year_digits[i] = *digits;
        } else {
            found = false;  // the other calendar is still looked at, so that both are told
        }
    }
    if (!found) {
        return EXIT_FAILED;
    }
    // Read once to count, the calendars are read again from their start by the merge.
    const bool reread = !options.year_digits[0] || !options.year_digits[1];
    if ((reread && !run.open_calendars()) || !run.create_output()) {
        return EXIT_FAILED;
    }
    const std::optional<long long> matches = run.merge(year_digits);
    if (!matches) {
        return EXIT_FAILED;
    }
    run.summarize(*matches);
    return EXIT_OK;
}

}  // namespace gironario
