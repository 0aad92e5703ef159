// Reads an iCalendar file with libical's parser, as many calendar programs do, and prints each
// event's start as written and resolved to UTC through the file's own VTIMEZONE:
//
//     UID DTSTART-as-written TZID UTC
//
// Fails when the parser marked any property or component with an X-LIC-ERROR, when an event's
// time zone is not the file's own, or when the file is not one calendar. tests/calendar_apps_check
// compares the UTC times with what the system's zone database says.

#include <libical/ical.h>

#include <cstdio>
#include <cstring>

namespace {

char* read_line(char* buffer, std::size_t size, void* file) {
    return std::fgets(buffer, static_cast<int>(size), static_cast<std::FILE*>(file));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: libical_check FILE.ics\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "r");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, file);
    icalcomponent* calendar = icalparser_parse(parser, read_line);
    icalparser_free(parser);
    std::fclose(file);
    if (calendar == nullptr || icalcomponent_isa(calendar) != ICAL_VCALENDAR_COMPONENT) {
        std::printf("%s: not one VCALENDAR\n", argv[1]);
        return 1;
    }
    int faults = icalcomponent_count_errors(calendar);
    if (faults != 0) {
        std::printf("%s: %d X-LIC-ERROR\n%s", argv[1], faults,
                    icalcomponent_as_ical_string(calendar));
    }
    icaltimezone* own = icalcomponent_get_timezone(calendar, "Europe/Rome");
    icaltimezone* utc = icaltimezone_get_utc_timezone();
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
         event != nullptr;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        const icaltimetype start = icalcomponent_get_dtstart(event);
        const char* uid = icalcomponent_get_uid(event);
        if (start.zone == nullptr) {
            std::printf("%s %s floating -\n", uid, icaltime_as_ical_string(start));
            continue;
        }
        if (start.zone != own) {
            std::printf("%s: %s: its time zone is not the file's VTIMEZONE\n", argv[1], uid);
            ++faults;
        }
        const char* written = icaltime_as_ical_string(start);
        std::printf("%s %s %s %s\n", uid, written,
                    icaltimezone_get_tzid(const_cast<icaltimezone*>(start.zone)),
                    icaltime_as_ical_string(icaltime_convert_to_zone(start, utc)));
    }
    icalcomponent_free(calendar);
    return faults == 0 ? 0 : 1;
}
