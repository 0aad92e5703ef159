#pragma once

// What a match is known by across downloads, reorders and calendars, where its source gives it
// an identity of its own: an iCalendar event's UID, alone (RFC 5545 makes it unique), or a
// table's code (its number column) with the row's league, as a federation numbers each league
// on its own, else with the calendar's file name, as two federations may both have a match 443.
// A text line or a row of a table without a code has none: it is known by its file, number and
// occurrence (ics_uid.hpp).

#include <string>
#include <string_view>

#include "calendar/match_record.hpp"

namespace gironario {

// `file_name` without the mark that a browser or a file manager adds to a second download or a
// copy: "Gare (1).csv", "Gare(2).csv" and "Gare - Copia.csv" are "Gare.csv".
std::string without_copy_mark(std::string_view file_name);

// Appends to `out` the identity of `match`, whose calendar's file name without its copy mark is
// `plain_file_name`, as a UID's text value ("gara-443-U17 Femminile", or the event's UID); false,
// appending nothing, for a match that has none.
bool append_identity(std::string& out, const MatchRecord& match, std::string_view plain_file_name);

}  // namespace gironario
