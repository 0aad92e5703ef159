#pragma once

// The time zone an iCalendar file gives its matches' times in.

#include <optional>
#include <string_view>

#include "io/line_writer.hpp"

namespace gironario {

enum class IcsZone {
    europe_rome,  // TZID=Europe/Rome, with its VTIMEZONE in the file: the same hour on every app
    floating,     // no zone: each app shows the time as written, in its own zone
};

// The zone named by --fuso: "Europe/Rome" or "locale"; nothing for any other name.
std::optional<IcsZone> ics_zone_named(std::string_view name);

// The parameter that DTSTART and DTEND carry, ";TZID=Europe/Rome", or nothing.
std::string_view ics_zone_parameter(IcsZone zone);

// Writes the zone's VTIMEZONE component, if it has one. Europe/Rome is CET (+01:00) and CEST
// (+02:00) by today's rules, from the last Sunday of March at 02:00 to the last Sunday of October
// at 03:00, as two yearly rules: right from 1996, and shown by the same rules before.
void write_ics_zone(LineWriter& out, IcsZone zone);

}  // namespace gironario
