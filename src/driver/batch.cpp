#include "driver/batch.hpp"

#include "driver/exit_status.hpp"

namespace gironario {

RunRequest request_of(const Options& options, std::time_t now) {
    RunRequest request;
    request.format = options.format;
    request.output = options.output;
    request.settings.now = now;
    request.settings.duration_minutes = options.duration_minutes;
    request.settings.name = options.name.value_or("");
    request.settings.overlaps = options.overlaps;
    request.settings.zone = options.zone;
    request.teams = options.teams;
    request.places = options.places;
    const auto add = [&](std::string_view name) {
        const std::size_t i = request.calendars.size();
        // One value of -a for every calendar, or one for each.
        const std::optional<int> digits =
            options.year_digits.size() == 1 ? options.year_digits[0] : options.year_digits[i];
        request.calendars.push_back({std::string(name), digits});
    };
    if (options.calendars.empty()) {
        for (const std::string_view name : default_calendars) {
            add(name);
        }
    }
    for (const std::string& name : options.calendars) {
        add(name);
    }
    return request;
}

int run_batch(const Options& options, Console& console, Folder& folder, std::time_t now) {
    return carry_out(request_of(options, now), folder, console) ? EXIT_OK : EXIT_FAILED;
}

}  // namespace gironario
