#include "calendar/ics_calendar.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace gironario {
namespace {

// A reading as lines: "LINE #NUMBER START|TITLE|PLACE|UID" for each match (START is "?" and the
// reason when it cannot be dated), "LINE! TEXT" for each notice, "error: TEXT".
std::string shown(const SourceReading& reading) {
    std::string text = reading.error.empty() ? "" : "error: " + reading.error + "\n";
    for (const SourceNotice& notice : reading.notices) {
        text += std::to_string(notice.line_number) + "! " + notice.text + "\n";
    }
    for (const MatchRecord& match : reading.matches) {
        char start[32] = "?";
        if (match.dating == Dating::dated) {
            std::snprintf(start, sizeof start, "%04d-%02d-%02d %02d:%02d", match.at.year,
                          match.at.month, match.at.day, match.at.hour, match.at.minute);
        } else if (match.time_pending) {
            std::snprintf(start, sizeof start, "%04d-%02d-%02d ?", match.at.year, match.at.month,
                          match.at.day);
        }
        text += std::to_string(match.line_number) + " #" + match.number + " " + start +
                match.unreadable + "|" + match.title + "|" + match.place + "|" + match.uid + "\n";
    }
    return text;
}

// A calendar of two header lines, then `body`: its first event is on line 3.
std::string calendar(const std::string& body) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + body + "END:VCALENDAR\r\n";
}

// An event of three lines with only a start.
std::string at(const std::string& dtstart) {
    return "BEGIN:VEVENT\r\nDTSTART" + dtstart + "\r\nEND:VEVENT\r\n";
}

const std::string NEW_YORK =
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nDTSTART:20070311T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nDTSTART:20071104T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";

// Brazil's clocks, which stopped changing in 2019: its rules ended long before a match.
const std::string SAO_PAULO =
    "BEGIN:VTIMEZONE\r\nTZID:America/Sao_Paulo\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0200\r\nTZOFFSETTO:-0300\r\nDTSTART:20080217T000000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=2;BYDAY=3SU;UNTIL=20190217T020000Z\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0300\r\nTZOFFSETTO:-0200\r\nDTSTART:20081019T000000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=3SU;COUNT=10\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

// London as Outlook writes a zone: from 1601, with a second rule list that ends.
const std::string LONDON =
    "BEGIN:VTIMEZONE\r\nTZID:GMT Standard Time\r\n"
    "BEGIN:STANDARD\r\nDTSTART:16010101T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0000\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:16010101T010000\r\nTZOFFSETFROM:+0000\r\nTZOFFSETTO:+0100\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

struct Row {
    const char* name;
    std::string bytes;
    std::string expected;
};

TEST(IcsCalendar, ReadsEventsAsMatchesInItalianTime) {
    const Row rows[] = {
        {"UTC across both clock changes of two years, and into a new year",
         calendar(at(":20260329T005900Z") + at(":20260329T010000Z") + at(":20261025T005900Z") +
                  at(":20261025T010000Z") + at(":20270328T005959Z") + at(":20270328T010000z") +
                  at(":20271031T005900Z") + at(":20271031T010000Z") + at(":20261231T233000Z")),
         "3 #1 2026-03-29 01:59|||\n6 #2 2026-03-29 03:00|||\n9 #3 2026-10-25 02:59|||\n"
         "12 #4 2026-10-25 02:00|||\n15 #5 2027-03-28 01:59|||\n18 #6 2027-03-28 03:00|||\n"
         "21 #7 2027-10-31 02:59|||\n24 #8 2027-10-31 02:00|||\n27 #9 2027-01-01 00:30|||\n"},
        {"Italy's clock, the zones that share it, a quoted parameter, floating, UTC by name",
         calendar(at(";TZID=Europe/Rome:20260329T023000") +
                  at(";X-A=\"x:y;z\";TZID=\"Europe/Berlin\":20261025T021500") +
                  at(";TZID=W. Europe Standard Time:20260101T000000") +
                  at(";TZID=/mozilla.org/20050126_1/Europe/Paris:20260704T2100") +
                  at(":20260704T210000") + at(";TZID=Etc/UTC:20260704T190000")),
         "3 #1 2026-03-29 02:30|||\n6 #2 2026-10-25 02:15|||\n9 #3 2026-01-01 00:00|||\n"
         "12 #4 2026-07-04 21:00|||\n15 #5 2026-07-04 21:00|||\n18 #6 2026-07-04 21:00|||\n"},
        {"another zone through its VTIMEZONE, wherever it stands: each season, an hour skipped "
         "and one shown twice",
         calendar(at(";TZID=America/New_York:20260307T200000") +
                  at(";TZID=America/New_York:20260320T140000") + NEW_YORK +
                  at(";TZID=America/New_York:20260701T120000") +
                  at(";TZID=America/New_York:20260308T023000") +
                  at(";TZID=America/New_York:20261101T013000") + LONDON +
                  at(";TZID=GMT Standard Time:20261025T013000") +
                  at(";TZID=GMT Standard Time:20270115T190000") + SAO_PAULO +
                  at(";TZID=America/Sao_Paulo:20260701T120000") +
                  at(";TZID=America/Sao_Paulo:20151201T120000")),
         "3 #1 2026-03-08 02:00|||\n6 #2 2026-03-20 19:00|||\n24 #3 2026-07-01 18:00|||\n"
         "27 #4 2026-03-08 08:30|||\n30 #5 2026-11-01 06:30|||\n48 #6 2026-10-25 02:30|||\n"
         "51 #7 2027-01-15 20:00|||\n69 #8 2026-07-01 17:00|||\n72 #9 2015-12-01 15:00|||\n"},
        {"a TZID without its VTIMEZONE: as written, told once",
         calendar(at(";TZID=America/Chicago:20260315T180000") +
                  at(";TZID=America/Chicago:20260316T180000")),
         "3! fuso orario TZID=America/Chicago senza VTIMEZONE nel file: le ore dei suoi eventi "
         "sono lette come sono scritte\n"
         "3 #1 2026-03-15 18:00|||\n6 #2 2026-03-16 18:00|||\n"},
        {"events that cannot be dated",
         calendar(at(";VALUE=DATE:20260315") + at(":20260315") + at(":20260231T180000") +
                  "BEGIN:VEVENT\r\nSUMMARY:Senza data\r\nEND:VEVENT\r\n" + at(":99991231T233000Z") +
                  at(":2026-03-15 18:00")),
         "3 #1 2026-03-15 ?DTSTART ha la data ma non l'ora (evento di un giorno intero)|||\n"
         "6 #2 2026-03-15 ?DTSTART ha la data ma non l'ora (evento di un giorno intero)|||\n"
         "9 #3 ?DTSTART 20260231T180000 non \xE8 una data e un'ora che esistono|||\n"
         "12 #4 ?manca DTSTART: l'evento non ha una data|Senza data||\n"
         "15 #5 ?DTSTART 99991231T233000Z in ora italiana cade fuori dagli anni 1-9999|||\n"
         "18 #6 ?DTSTART 2026-03-15 18:00 non \xE8 una data e un'ora che esistono|||\n"},
        {"cancelled, repeating, and components that are no match",
         calendar("BEGIN:VEVENT\r\nUID:a@x\r\nSTATUS:CANCELLED\r\nDTSTART:20260101T100000\r\n"
                  "END:VEVENT\r\nBEGIN:VTODO\r\nDTSTART:20260101T100000\r\nEND:VTODO\r\n"
                  "BEGIN:VEVENT\r\nUID:b@x\r\nRRULE:FREQ=WEEKLY\r\nDTSTART:20260102T100000\r\n"
                  "BEGIN:VALARM\r\nSUMMARY:Promemoria\r\nEND:VALARM\r\nSUMMARY:Gara\r\n"
                  "END:VEVENT\r\nBEGIN:X-ALTRO\r\n" +
                  at(":20260103T100000") + "END:X-ALTRO\r\nBEGIN:VJOURNAL\r\nEND:VJOURNAL\r\n"),
         "3! evento annullato (STATUS:CANCELLED): non viene letto\n"
         "11! evento che si ripete (RRULE): viene letta solo la prima volta, quella di DTSTART\n"
         "11 #1 2026-01-02 10:00|Gara||b@x\n"},
        {"folding (inside a character too), LF lines, escapes, the place as title when there is "
         "no summary",
         "\xEF\xBB\xBF"
         "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:Pro Citt\xC3\r\n \xA0 - Real\r\n\t "
         "Team\nLOCATION:Palestra Pascoli\\, Via Roma 1\\; Lorvane\\\\Nord\\nCampo B\\x\t.\n"
         "DTST\n ART:20260301T1800\n 00\nUID:\n  u-1 \nEND:VEVENT\n"
         "BEGIN:VEVENT\nLOCATION:PalaA\nDTSTART:20260302T180000\nEND:VEVENT\nEND:VCALENDAR",
         "2 #1 2026-03-01 18:00|Pro Citt\xC3\xA0 - Real Team|Palestra Pascoli, Via Roma 1; "
         "Lorvane\\Nord Campo B\\x .|u-1\n"
         "13 #2 2026-03-02 18:00|PalaA|PalaA|\n"},
        {"not iCalendar", "Giornata;Data;Ora\n1;04/10/2026;18:00\nBEGIN:VEVENT\n",
         "error: non \xE8 un calendario iCalendar (manca BEGIN:VCALENDAR)\n"},
        {"empty", "", "error: non \xE8 un calendario iCalendar (manca BEGIN:VCALENDAR)\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(shown(read_ics(row.bytes)), row.expected) << row.name;
    }
}

}  // namespace
}  // namespace gironario
