// gironario: merges two match calendars into one, asking in Italian how to write it, or doing as
// its options say.

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <string>

#include "driver/batch.hpp"
#include "driver/console.hpp"
#include "driver/dialogue.hpp"
#include "driver/folder.hpp"
#include "driver/options.hpp"

#ifndef GIRONARIO_VERSION
#define GIRONARIO_VERSION "0"
#endif

namespace {

// Standard output is checked once at the end: a failed write would otherwise go unseen.
int close_standard_output(int status) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || std::fclose(stdout) != 0) {
        const int error = errno != 0 ? errno : EIO;
        std::fprintf(stderr, "gironario: standard output: errore di scrittura: %s\n",
                     std::strerror(error));
        return gironario::EXIT_FAILED;
    }
    return status;
}

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
    Console console(std::cout, std::cerr, locale_console_encoding());

    const Options options = parse_options(argc, argv);
    switch (options.action) {
        case Options::Action::help:
            console.say(usage);
            return close_standard_output(EXIT_OK);
        case Options::Action::version:
            console.say("gironario " GIRONARIO_VERSION "\n");
            return close_standard_output(EXIT_OK);
        case Options::Action::usage_error:
            console.warn("gironario: " + options.error + "\n\n");
            console.warn(usage);
            return EXIT_USAGE;
        case Options::Action::run: {
            DiskFolder folder;
            return close_standard_output(run_batch(options, console, folder, time_of_run()));
        }
        case Options::Action::dialogue:
            break;
    }
    DiskFolder folder;
    const int status =
        run_dialogue(std::cin, std::cout, std::cerr, folder, locale_console_encoding());
    return close_standard_output(status);
}
