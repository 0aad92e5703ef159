#include "export/ics_changes.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "string_calendars.hpp"

#include <string>
#include <vector>

#include "calendar/calendar_line.hpp"
#include "export/icalendar.hpp"
#include "io/byte_stream.hpp"

namespace gironario {
namespace {

struct Season {
    std::string file;
    std::string report;   // the list of changes, when there was a previous file
    std::string problem;  // why the previous file was not used
};

// The lines of u17.txt written as a file at `stamp`, against `previous`; with `epoch`, with the
// identity that a run at SOURCE_DATE_EPOCH `epoch` gives. A line "UID|LINE" is an event of a feed.
Season write_season(const std::vector<std::string>& lines, const std::string& previous,
                    const std::string& stamp, const char* epoch = nullptr) {
    Season season;
    StringInput input(previous);
    LineReader reader(input, 77);  // as small as it may be
    PreviousReading reading = read_previous_calendar(reader);
    season.problem = reading.problem;
    std::unique_ptr<IcsChanges> changes;
    if (reading.calendar) {
        changes = std::make_unique<IcsChanges>(std::move(reading.calendar));
    }
    StringOutput output(season.file);
    LineWriter out(output);
    IcsSettings settings{120, stamp, "1.2.0"};
    if (epoch != nullptr) {
        settings.identity = published_identity(changes.get(), epoch, "calendario.ics");
    }
    IcsWriter writer(out, settings, changes.get());
    writer.begin();
    for (const std::string& line : lines) {
        const std::size_t bar = line.find('|');
        const LineRecord held(line.substr(bar + 1));
        MatchRecord record = *held;
        // An event of a feed, with its own UID and no location.
        record.uid = line.substr(0, bar == std::string::npos ? 0 : bar);
        if (!record.uid.empty()) {
            record.source = MatchSource::icalendar;
        }
        writer.event(record, {"u17.txt", "u17", 0, 0, 1});
    }
    writer.end();
    EXPECT_TRUE(out.close());
    if (changes) {
        changes->report([&](std::string_view line) { season.report += line; });
    }
    return season;
}

// "number SEQUENCE LAST-MODIFIED's month" of each event.
std::string revisions(const std::string& file) {
    std::string result;
    for (std::size_t at = file.find("UID:"); at != std::string::npos;
         at = file.find("UID:", at + 1)) {
        const auto value = [&](std::string_view name, std::size_t size) {
            return file.substr(file.find(name, at) + name.size(), size);
        };
        result +=
            value("UID:", 2) + ' ' + value("SEQUENCE:", 1) + ' ' + value("MODIFIED:", 6) + ' ';
    }
    return result;
}

const std::string A = "12 04/10/26 18:00 PalaA Alfa - Beta";
const std::string B = "13 11/10/26 18:00 PalaA Alfa - Gamma";
const std::string C = "14 18/10/26 20:30 PalaB Alfa - Delta";
const std::string B2 = "13 11/10/26 19:00 PalaA Alfa - Gamma";

TEST(IcsChanges, SequenceAndReportAgainstThePreviousFile) {
    struct Row {
        std::vector<std::vector<std::string>> seasons;  // each written against the one before
        std::string revisions;                          // of the last
        std::string report;
    };
    const std::vector<Row> rows = {
        {{{A, B, C, "15 19/10/26 18:00 P X"},
          {"12 05/10/26 21:00 PalaB Alfa - Beta", "13 11/10/26 18:00 PalaA Alfa - Zeta",
           "40 12/12/26 18:00 PalaLorvane Alfa - Eta"}},
         "12 1 202610 13 1 202610 40 0 202610 ",
         "Rispetto al calendario di prima: 2 gare cambiate, 1 nuova, 2 tolte\n"
         "spostata: gara 12 (u17.txt): dal 04/10/2026 18:00 PalaA al 05/10/2026 21:00 PalaB\n"
         "cambiata: gara 13 (u17.txt) del 11/10/2026 18:00 PalaA (squadre, descrizione o "
         "durata)\n"
         "nuova: gara 40 (u17.txt): 12/12/2026 18:00 PalaLorvane\n"
         "tolta: gara 14 (u17.txt) del 18/10/2026 20:30\n"
         "tolta: gara 15 (u17.txt) del 19/10/2026 18:00\n"},
        // Changed twice, then written again as it was: the SEQUENCE and time of the last change.
        {{{A, B}, {A, "13 11/10/26 18:30 PalaA Alfa - Gamma"}, {A, B2}, {A, B2}},
         "12 0 202609 13 2 202611 ",
         "Rispetto al calendario di prima: 0 gare cambiate, 0 nuove, 0 tolte\n"},
    };
    const std::string stamps[] = {"20260901T0800Z", "20261001T0800Z", "20261101T0800Z",
                                  "20261201T0800Z"};
    for (const Row& row : rows) {
        Season season;
        for (std::size_t i = 0; i < row.seasons.size(); ++i) {
            season = write_season(row.seasons[i], season.file, stamps[i]);
            EXPECT_EQ(season.problem, i == 0 ? "non \xE8 un calendario scritto da gironario" : "");
        }
        EXPECT_EQ(revisions(season.file), row.revisions);
        EXPECT_EQ(season.report, row.report);
    }
    // A season's many changes, as a cron mail reads them: the first twenty, then their count.
    std::vector<std::string> many = {A};
    for (int i = 0; i < 23; ++i) {
        many.push_back(std::to_string(100 + i) + " 0" + std::to_string(1 + i % 9) +
                       "/12/26 18:00 PalaZ X - Y");
    }
    const Season season = write_season(many, write_season({A}, "", stamps[0]).file, stamps[1]);
    EXPECT_EQ(std::count(season.report.begin(), season.report.end(), '\n'), 22);
    EXPECT_TRUE(season.report.starts_with(
        "Rispetto al calendario di prima: 0 gare cambiate, 23 nuove, 0 tolte\n"));
    EXPECT_TRUE(season.report.ends_with("altre 3 modifiche non sono elencate\n")) << season.report;
}

TEST(IcsChanges, PreviousFileNotTaken) {
    const std::string ours = write_season({A, B}, "", "20260901T0800Z").file;
    const std::size_t end = ours.find("END:VEVENT\r\n");  // of the first event
    const std::size_t zone = ours.find("BEGIN:VTIMEZONE");
    const std::string not_ours = "non \xE8 un calendario scritto da gironario";
    const std::string cut = "\xE8 incompleto o rovinato alla riga 36";
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", not_ours},
        {"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Altro//IT\r\nEND:VCALENDAR\r\n", not_ours},
        {A + "\n", not_ours},
        {" x\r\n" + ours, not_ours},                          // a continuation first
        {"begin:VCALENDAR\r\n" + ours.substr(17), not_ours},  // a name as we never write it
        {ours.substr(0, end + 12), "\xE8 incompleto: finisce prima di END:VCALENDAR"},
        {ours.substr(0, end + 7), cut},                      // in the middle of a line
        {ours.substr(0, end) + ours.substr(end + 12), cut},  // an event never ended
        {ours.substr(0, end + 12) + ours.substr(ours.find("BEGIN:VEVENT")),
         "ha due gare con lo stesso UID"},
        {ours + "BEGIN:VEVENT\r\n", "\xE8 incompleto o rovinato alla riga 50"},
        {ours.substr(0, zone) + "X-WR-RELCALID:a;b\r\n" + ours.substr(zone),
         "\xE8 incompleto o rovinato alla riga 8"},
    };
    for (const auto& [previous, problem] : rows) {
        const Season season = write_season({A, B}, previous, "20261001T0800Z");
        EXPECT_EQ(season.problem, problem) << previous;
        // Written as if there were no previous file.
        EXPECT_EQ(revisions(season.file), "12 0 202610 13 0 202610 ") << previous;
        EXPECT_EQ(season.report, "") << previous;
    }
}

// Each event's UID, marked when its lines are those of the file before, a run ago.
std::string identities(const std::string& file, const std::string& before) {
    std::string result;
    for (std::size_t at = file.find("UID:"); at != std::string::npos;
         at = file.find("UID:", at + 1)) {
        const std::size_t begin = file.rfind("BEGIN", at);
        const std::string event = file.substr(begin, file.find("END:VEVENT", at) + 12 - begin);
        result += file.substr(at + 4, file.find('\r', at) - at - 4) +
                  (before.find(event) != std::string::npos ? " kept " : " ");
    }
    return result;
}

// A match that cannot be dated keeps its event, and is told; a calendario.ics has an identity of
// its own in every UID ($), kept from the file it replaces; a file of 1.2.0 keeps its UIDs.
TEST(IcsChanges, UnreadMatchesKeptAndTheCalendarsIdentity) {
    const std::string v120 =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Polisportiva Lorvane//gironario "
        "1.2.0//IT\r\nEND:VCALENDAR\r\n";
    const std::string unread = "13 da definire PalaA Alfa - Gamma";
    const std::string none = "Rispetto al calendario di prima: 0 gare cambiate, 0 nuove, 0 tolte\n";
    const std::string kept = "non letta: gara 13 (u17.txt) resta com'era\n";
    struct Row {
        std::string first;                              // the file before the first season
        std::vector<std::vector<std::string>> seasons;  // each written against the one before
        std::string identities;                         // of the last
        std::string report;
    };
    const std::vector<Row> rows = {
        // Kept at its place, the identity too; the lines after it keep their UIDs.
        {"",
         {{A, B, "13 12/10/26 18:00 PalaA Alfa - Zeta", C}, {A, unread, unread, C}},
         "12-1-u17.txt-$@gironario 13-1-u17.txt-$@gironario kept 13-2-u17.txt-$@gironario kept "
         "14-1-u17.txt-$@gironario ",
         none + kept + kept},
        // Over a file of 1.2.0: a day that does not exist, kept twice, then read again.
        {v120,
         {{A, B}, {A, "13 31/02/26 18:00 PalaA"}, {A, unread}, {A, B2}},
         "12-1-u17.txt@gironario 13-1-u17.txt@gironario ",
         "Rispetto al calendario di prima: 1 gara cambiata, 0 nuove, 0 tolte\nspostata: gara 13 "
         "(u17.txt): dal 11/10/2026 18:00 PalaA al 11/10/2026 19:00 PalaA\n"},
        // An event of a feed, by its own UID.
        {"",
         {{"ev7|" + A, "ev8|" + B}, {"ev8|" + unread, "ev7|" + A}},
         "ev8-$@gironario kept ev7-$@gironario ",
         none + kept},
    };
    const char* const epochs[] = {"1796169600", "1796256000", "1", "2"};
    const std::string identity = new_calendar_identity(epochs[0], "calendario.ics");
    for (const Row& row : rows) {
        Season season{row.first, "", ""};
        std::string before;
        for (std::size_t i = 0; i < row.seasons.size(); ++i) {
            before = season.file;
            season = write_season(row.seasons[i], before,
                                  "2026100" + std::to_string(i + 1) + "T0800Z", epochs[i]);
        }
        std::string expected = row.identities;
        for (std::size_t at; (at = expected.find('$')) != std::string::npos;) {
            expected.replace(at, 1, identity);
        }
        EXPECT_EQ(identities(season.file, before), expected) << row.seasons[0][0];
        EXPECT_EQ(season.file.find("X-WR-RELCALID:" + identity + "\r\n") != std::string::npos,
                  row.first.empty());
        EXPECT_EQ(season.report, row.report);
    }
    // Random without SOURCE_DATE_EPOCH; with it, of the target's name too.
    EXPECT_NE(new_calendar_identity(nullptr, "a.ics"), new_calendar_identity(nullptr, "a.ics"));
    EXPECT_NE(new_calendar_identity("1", "calendario.ics"), new_calendar_identity("1", "a.ics"));
}

}  // namespace
}  // namespace gironario
