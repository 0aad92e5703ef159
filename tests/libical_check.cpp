// Parses an iCalendar file with libical, as many calendar programs do, and prints for each event
// "UID UTC": its start resolved through the file's own VTIMEZONE, or the date of an event of a
// whole day. Fails when the parser marked anything with X-LIC-ERROR, an event's zone is not the
// file's, or an event of a whole day is not tentative.

#include <libical/ical.h>

#include <cstdio>

int main(int argc, char** argv) {
    std::FILE* file = argc == 2 ? std::fopen(argv[1], "r") : nullptr;
    if (file == nullptr) {
        std::fprintf(stderr, "usage: libical_check FILE.ics (a file that opens)\n");
        return 2;
    }
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, file);
    icalcomponent* calendar =
        icalparser_parse(parser, [](char* line, std::size_t size, void* from) {
            return std::fgets(line, static_cast<int>(size), static_cast<std::FILE*>(from));
        });
    icalparser_free(parser);
    std::fclose(file);
    if (calendar == nullptr || icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT) {
        std::printf("not one VCALENDAR\n");
        return 1;
    }
    int faults = icalcomponent_count_errors(calendar);
    const icaltimezone* own = icalcomponent_get_timezone(calendar, "Europe/Rome");
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        if (start.is_date) {
            faults += icalcomponent_get_status(event) != ICAL_STATUS_TENTATIVE ? 1 : 0;
        } else {
            faults += start.zone != own || own == nullptr ? 1 : 0;
        }
        const icaltimetype utc = icaltime_convert_to_zone(start, icaltimezone_get_utc_timezone());
        std::printf("%s %s\n", icalcomponent_get_uid(event), icaltime_as_ical_string(utc));
    }
    if (faults != 0) {
        std::printf("%d X-LIC-ERROR or starts in another zone:\n%s", faults,
                    icalcomponent_as_ical_string(calendar));
    }
    icalcomponent_free(calendar);
    return faults == 0 ? 0 : 1;
}
