#include "export/ics_zone.hpp"

namespace gironario {

std::optional<IcsZone> ics_zone_named(std::string_view name) {
    if (name == "Europe/Rome") {
        return IcsZone::europe_rome;
    }
    if (name == "locale") {
        return IcsZone::floating;
    }
    return std::nullopt;
}

std::string_view ics_zone_parameter(IcsZone zone) {
    return zone == IcsZone::europe_rome ? ";TZID=Europe/Rome" : "";
}

void write_ics_zone(LineWriter& out, IcsZone zone) {
    if (zone != IcsZone::europe_rome) {
        return;
    }
    // The rules start in 1970, as most published zones do, so that apps apply them to the
    // matches of earlier years too instead of guessing; Italy has kept them since 1996.
    out.put(
        "BEGIN:VTIMEZONE\r\n"
        "TZID:Europe/Rome\r\n"
        "BEGIN:DAYLIGHT\r\n"
        "TZOFFSETFROM:+0100\r\n"
        "TZOFFSETTO:+0200\r\n"
        "TZNAME:CEST\r\n"
        "DTSTART:19700329T020000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
        "END:DAYLIGHT\r\n"
        "BEGIN:STANDARD\r\n"
        "TZOFFSETFROM:+0200\r\n"
        "TZOFFSETTO:+0100\r\n"
        "TZNAME:CET\r\n"
        "DTSTART:19701025T030000\r\n"
        "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
        "END:STANDARD\r\n"
        "END:VTIMEZONE\r\n");
}

}  // namespace gironario
