// gironario: merges match calendars into one, asking in Italian how to write it, or doing as
// its options say.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

#include "driver/batch.hpp"
#include "driver/console.hpp"
#include "driver/dialogue.hpp"
#include "driver/dropped.hpp"
#include "driver/exit_status.hpp"
#include "driver/folder.hpp"
#include "driver/options.hpp"
#include "driver/standard_output.hpp"
#include "driver/windows_console.hpp"

namespace {

// The time of the run, for the iCalendar export. SOURCE_DATE_EPOCH, where set, fixes it, so that
// the same calendars give the same file byte for byte.
std::time_t time_of_run() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed != nullptr && *fixed != '\0') {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(fixed, &end, 10);
        if (*end == '\0' && errno == 0 && seconds >= 0) {
            return static_cast<std::time_t>(seconds);
        }
    }
    return std::time(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace gironario;
    // The console's encoding, and system error texts in the user's language where it is
    // installed. Nothing that reads or writes the calendars depends on the locale.
    std::setlocale(LC_CTYPE, "");
#ifdef LC_MESSAGES
    std::setlocale(LC_MESSAGES, "");  // Windows has no such category
#endif
    const ConsoleCodePage code_page;
    // Standard output keeps the reason of a failed write until it is checked at the end.
    FileStreamBuffer output_buffer(stdout);
    std::ostream output(&output_buffer);
    const ConsoleEncoding encoding = locale_console_encoding();
    Console console(output, std::cerr, encoding);

    const Options options = parse_options(argc, argv);
    int status = EXIT_OK;
    switch (options.action) {
        case Options::Action::help:
            console.say(usage);
            break;
        case Options::Action::version:
            console.say("gironario " GIRONARIO_VERSION "\n");
            break;
        case Options::Action::usage_error:
            // The one line that is wrong: the whole help would hide it.
            console.warn("gironario: " + options.error + "\n");
            console.warn("Prova \"gironario --help\" per l'aiuto.\n");
            return EXIT_USAGE;
        case Options::Action::run: {
            DiskFolder folder;
            status = run_batch(options, console, folder, time_of_run());
            break;
        }
        case Options::Action::dropped: {
            DiskFolder folder;
            status = run_dropped(options.calendars, std::cin, console, folder, time_of_run(),
                                 console_window_is_own());
            break;
        }
        case Options::Action::dialogue: {
            DiskFolder folder;
            status = run_dialogue(std::cin, output, std::cerr, folder, encoding);
            break;
        }
    }
    return close_standard_output(output_buffer, std::cerr, status);
}
