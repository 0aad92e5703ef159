#include "export/icalendar.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/icalendar_events.hpp"
#include "export/ics_text.hpp"
#include "io/byte_stream.hpp"
#include "string_calendars.hpp"

namespace gironario {
namespace {

using namespace std::string_literals;

struct MatchLine {
    std::string text;
    int year_digits = 2;
    std::string_view calendar = "calendario1.txt";
    long long number = 1;
    std::size_t index = 0;  // of the calendar in the order named
    int rank = 0;
};

struct Written {
    std::string file;
    std::vector<EventOutcome> outcomes;
};

Written written(const std::vector<MatchLine>& lines, int minutes = 120,
                std::size_t capacity = LineWriter::default_capacity,
                IcsZone zone = IcsZone::europe_rome) {
    Written result;
    StringOutput output(result.file);
    LineWriter out(output, capacity);
    IcsWriter writer(out, {minutes, "20260701T123456Z", "1.0.0", zone, "Lorvane, tutte"});
    writer.begin();
    for (const MatchLine& line : lines) {
        const std::string_view tag = line.calendar.substr(0, line.calendar.rfind('.'));
        const LineRecord match(line.text, line.year_digits, line.index, line.number);
        result.outcomes.push_back(
            writer.event(*match, {line.calendar, tag, line.rank, line.index, line.number}));
    }
    writer.end();
    EXPECT_TRUE(out.close());
    return result;
}

// The file's text from the first `from` up to the next `to`: a few whole content lines.
std::string between(const std::string& file, std::string_view from, std::string_view to) {
    const std::size_t begin = file.find(from);
    if (begin == std::string::npos) {
        return "(no " + std::string(from) + ")";
    }
    return file.substr(begin, file.find(to, begin) - begin);
}

const std::string head_without_zone =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Polisportiva Lorvane//gironario 1.0.0//IT\r\n"
    "NAME:Lorvane\\, tutte\r\nX-WR-CALNAME:Lorvane\\, tutte\r\n"
    "REFRESH-INTERVAL;VALUE=DURATION:PT6H\r\nX-PUBLISHED-TTL:PT6H\r\n";
const std::string head =
    head_without_zone +
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Rome\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\n"
    "DTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
    "END:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
    "DTSTART:19701025T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
    "END:STANDARD\r\nEND:VTIMEZONE\r\n";

TEST(IcsWriter, WholeFileOfASmallCalendar) {
    const std::vector<MatchLine> lines = {
        {"12 05/10/2007 21:00 PalaA Alfa - Beta", 4, "calendario1.txt", 2},
        {"7 05/10/07 21:00 PalaB Gamma, Delta; Eta", 2, "calendario2.txt", 3},
        {"13 31/02/2008 18:00 PalaA Alfa - Gamma", 4, "calendario1.txt", 3},
        {"3 31/12/2026 23:00 Pala\xE8 Capodanno \x80 5", 4, "calendario1.txt", 5},
    };
    const std::string stamp = "DTSTAMP:20260701T123456Z\r\n";
    const std::string tail =
        "SEQUENCE:0\r\nLAST-MODIFIED:20260701T123456Z\r\n"
        "END:VEVENT\r\n";
    const std::string expected =
        head + "BEGIN:VEVENT\r\nUID:12-1-calendario1.txt@gironario\r\n" + stamp +
        "DTSTART;TZID=Europe/Rome:20071005T210000\r\nDTEND;TZID=Europe/Rome:20071005T223000\r\n"
        "SUMMARY:Alfa - Beta\r\nLOCATION:PalaA\r\nDESCRIPTION:Gara 12\\, calendario1.txt\r\n"
        "CATEGORIES:calendario1\r\n" +
        tail + "BEGIN:VEVENT\r\nUID:7-1-calendario2.txt@gironario\r\n" + stamp +
        "DTSTART;TZID=Europe/Rome:20071005T210000\r\nDTEND;TZID=Europe/Rome:20071005T223000\r\n"
        "SUMMARY:Gamma\\, Delta\\; Eta\r\nLOCATION:PalaB\r\n"
        "DESCRIPTION:Gara 7\\, calendario2.txt\r\nCATEGORIES:calendario2\r\n" +
        tail + "BEGIN:VEVENT\r\nUID:3-1-calendario1.txt@gironario\r\n" + stamp +
        "DTSTART;TZID=Europe/Rome:20261231T230000\r\nDTEND;TZID=Europe/Rome:20270101T003000\r\n"
        "SUMMARY:Capodanno \xE2\x82\xAC 5\r\nLOCATION:Pala\xC3\xA8\r\n"
        "DESCRIPTION:Gara 3\\, calendario1.txt\r\nCATEGORIES:calendario1\r\n" +
        tail + "END:VCALENDAR\r\n";
    // The writer's buffer size changes nothing in the bytes.
    for (std::size_t capacity : {std::size_t{1}, std::size_t{7}, LineWriter::default_capacity}) {
        const Written made = written(lines, 90, capacity);
        EXPECT_EQ(made.file, expected) << "capacity " << capacity;
        EXPECT_EQ(made.outcomes,
                  (std::vector<EventOutcome>{EventOutcome::written, EventOutcome::written,
                                             EventOutcome::bad_date, EventOutcome::written}));
    }
    EXPECT_EQ(written({}).file, head + "END:VCALENDAR\r\n");
}

// A line whose day is known and whose time is not set yet: a tentative event of its whole day;
// a time written wrong, or no such day, stays no event.
TEST(IcsWriter, ADayWithoutItsTime) {
    const std::pair<MatchLine, std::string> rows[] = {
        {{"12 05/10/25 da definire PalaA A - B"},
         "DTSTART;VALUE=DATE:20251005\r\nDTEND;VALUE=DATE:20251006\r\nSUMMARY:A - B (ora da "
         "definire)\r\nLOCATION:PalaA\r\nDESCRIPTION:Gara 12\\, calendario1.txt\r\n"},
        {{"7 31/12/1999 TBD PalaB", 4},
         "DTSTART;VALUE=DATE:19991231\r\nDTEND;VALUE=DATE:20000101\r\nSUMMARY:PalaB (ora da "
         "definire)\r\nLOCATION:PalaB\r\nDESCRIPTION:Gara 7\\, calendario1.txt\r\n"},
        {{"1 31/12/9999 - P", 4},
         "DTSTART;VALUE=DATE:99991231\r\nSUMMARY:P (ora da definire)\r\nLOCATION:P\r\n"
         "DESCRIPTION:Gara 1\\, calendario1.txt\r\n"},
        {{"12 05/10/25 18:9o PalaA A - B"}, ""},
        {{"12 31/02/25 da definire PalaA A - B"}, ""},
        {{"12 05/10/25 da definirsi PalaA A - B"}, ""},
    };
    for (const auto& [line, event] : rows) {
        const Written made = written({line});
        EXPECT_EQ(made.outcomes, std::vector<EventOutcome>{event.empty() ? EventOutcome::undated
                                                                         : EventOutcome::written});
        EXPECT_EQ(between(made.file, "DTSTART;", "STATUS:TENTATIVE\r\nTRANSP:TRANSPARENT\r\n"),
                  event.empty() ? "(no DTSTART;)" : event)
            << line.text;
    }
}

TEST(IcsWriter, DatesAndTimes) {
    struct Row {
        std::string line;
        int year_digits;
        int minutes;
        EventOutcome outcome;
        std::string start_end;  // "start end" when written
    };
    const std::vector<Row> rows = {
        {"1 29/02/2024 18:00 P", 4, 120, EventOutcome::written, "20240229T180000 20240229T200000"},
        {"1 29/02/2000 18:00 P", 4, 120, EventOutcome::written, "20000229T180000 20000229T200000"},
        {"1 29/02/2100 18:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 29/02/2023 18:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 31/04/2026 18:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 30/04/2026 00:00 P", 4, 120, EventOutcome::written, "20260430T000000 20260430T020000"},
        {"1 30/04/2026 23:59 P", 4, 1, EventOutcome::written, "20260430T235900 20260501T000000"},
        {"1 00/04/2026 10:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 01/00/2026 10:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 01/13/2026 10:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 01/01/2026 24:00 P", 4, 120, EventOutcome::bad_date, ""},
        {"1 01/01/2026 10:60 P", 4, 120, EventOutcome::bad_date, ""},
        // Two-digit years, the POSIX way.
        {"1 01/01/68 10:00 P", 2, 120, EventOutcome::written, "20680101T100000 20680101T120000"},
        {"1 01/01/69 10:00 P", 2, 120, EventOutcome::written, "19690101T100000 19690101T120000"},
        {"1 29/02/00 10:00 P", 2, 120, EventOutcome::written, "20000229T100000 20000229T120000"},
        {"1 31/12/99 23:00 P", 2, 120, EventOutcome::written, "19991231T230000 20000101T010000"},
        {"1 29/02/69 10:00 P", 2, 120, EventOutcome::bad_date, ""},
        // Four-digit years as written, from 0001 to 9999.
        {"1 05/06/0999 10:00 P", 4, 120, EventOutcome::written, "09990605T100000 09990605T120000"},
        {"1 01/01/0001 00:00 P", 4, 120, EventOutcome::written, "00010101T000000 00010101T020000"},
        {"1 05/06/0000 10:00 P", 4, 120, EventOutcome::bad_date, ""},
        // Ends across a month, a leap day and a year; durations of one minute and one day.
        {"1 31/01/2026 23:30 P", 4, 60, EventOutcome::written, "20260131T233000 20260201T003000"},
        {"1 28/02/2024 23:00 P", 4, 120, EventOutcome::written, "20240228T230000 20240229T010000"},
        {"1 31/12/2026 23:00 P", 4, 120, EventOutcome::written, "20261231T230000 20270101T010000"},
        {"1 01/01/2026 10:00 P", 4, 1440, EventOutcome::written, "20260101T100000 20260102T100000"},
        // The last minute of 9999, and one past it.
        {"1 31/12/9999 21:59 P", 4, 120, EventOutcome::written, "99991231T215900 99991231T235900"},
        {"1 31/12/9999 00:00 P", 4, 1439, EventOutcome::written, "99991231T000000 99991231T235900"},
        {"1 31/12/9999 22:00 P", 4, 120, EventOutcome::bad_end, ""},
        {"1 31/12/9999 00:00 P", 4, 1440, EventOutcome::bad_end, ""},
        // Match numbers of three and of four digits move the keys.
        {"123 05/10/2007 21:00 P", 4, 120, EventOutcome::written,
         "20071005T210000 20071005T230000"},
        {"1234 05/10/07 21:00 P", 2, 120, EventOutcome::written, "20071005T210000 20071005T230000"},
        // A key or a century digit that is not a digit, or past the end of the line.
        {"1 05/10/2007 21:0", 4, 120, EventOutcome::undated, ""},
        {"1 05/1x/2007 21:00 P", 4, 120, EventOutcome::undated, ""},
        {"1 05/10/x007 21:00 P", 4, 120, EventOutcome::undated, ""},
        // Typed out of their columns, they are read by their real dates.
        {"1 05/10/07 21:00", 4, 120, EventOutcome::written, "20071005T210000 20071005T230000"},
        {"1 05/10/07 2:00 P", 2, 120, EventOutcome::written, "20071005T020000 20071005T040000"},
    };
    for (const Row& row : rows) {
        // Floating times, as --fuso=locale writes them.
        const Written made = written({{row.line, row.year_digits}}, row.minutes,
                                     LineWriter::default_capacity, IcsZone::floating);
        EXPECT_EQ(made.outcomes, std::vector<EventOutcome>{row.outcome}) << row.line;
        if (row.outcome != EventOutcome::written) {
            EXPECT_EQ(made.file, head_without_zone + "END:VCALENDAR\r\n") << row.line;
            continue;
        }
        EXPECT_EQ(between(made.file, "DTSTART:", "SUMMARY:"),
                  "DTSTART:" + row.start_end.substr(0, 15) +
                      "\r\nDTEND:" + row.start_end.substr(16) + "\r\n")
            << row.line;
    }
}

TEST(IcsWriter, PlaceAndSummary) {
    struct Row {
        std::string after_time;  // of "1 01/01/26 10:00"
        std::string summary;
        std::string location;
    };
    const std::vector<Row> rows = {
        {" PalaA Alfa - Beta", "Alfa - Beta", "PalaA"},
        // Tabs inside become spaces; white space at both ends goes, CR included.
        {"\tPalaA\tAlfa\t-\tBeta", "Alfa - Beta", "PalaA"},
        {" \t PalaA \t Alfa  -  Beta \r\v\f", "Alfa  -  Beta", "PalaA"},
        {"PalaA Alfa", "Alfa", "PalaA"},
        // With nothing after the place, the summary is the place; with nothing after the time,
        // both are empty.
        {" PalaA ", "PalaA", "PalaA"},
        {" PalaA \x01\x02 ", "PalaA", "PalaA"},
        {"", "", ""},
        {" \t\r", "", ""},
        // Control characters are left out before the trimming, wherever they stand.
        {" Pa\x01la\x7F \x01 Alfa\x1B - Beta", "Alfa - Beta", "Pala"},
        {" PalaA Alfa\tBeta \x1A", "Alfa Beta", "PalaA"},
        {" PalaA Alfa\0Beta"s, "AlfaBeta", "PalaA"},
        // Backslash, comma and semicolon are escaped, "\n" in the text too.
        {" Pala;1 A\\B, C;D \\n", "A\\\\B\\, C\\;D \\\\n", "Pala\\;1"},
        // A line that is UTF-8 as a whole is read as UTF-8, C1 controls left out.
        {" PalaCitt\xC3\xA0 Perch\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8F\x80 \xC2\x85x\xC2\xA0y",
         "Perch\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8F\x80 x\xC2\xA0y", "PalaCitt\xC3\xA0"},
        // Any other line is Windows-1252 byte by byte; its five undefined bytes are C1 controls.
        {" Pala\xE8 \x80 \x81\x8D\x8F\x90\x9D \x8A\x9F \xA0\xFF",
         "\xE2\x82\xAC  \xC5\xA0\xC5\xB8 \xC2\xA0\xC3\xBF", "Pala\xC3\xA8"},
        {" Pala Citt\xC3\xA0 e citt\xE0", "Citt\xC3\x83\xC2\xA0 e citt\xC3\xA0", "Pala"},
        // Not UTF-8: overlong, surrogate, past U+10FFFF, cut short.
        {" P \xC0\xAF", "\xC3\x80\xC2\xAF", "P"},
        {" P \xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", "P"},
        {" P \xF4\x90\x80\x80", "\xC3\xB4\xE2\x82\xAC\xE2\x82\xAC", "P"},
        {" P \xE2\x82", "\xC3\xA2\xE2\x80\x9A", "P"},
    };
    for (const Row& row : rows) {
        const std::string line = "1 01/01/26 10:00" + row.after_time;
        EXPECT_EQ(between(written({{line}}).file, "SUMMARY:", "DESCRIPTION:"),
                  "SUMMARY:" + row.summary + "\r\nLOCATION:" + row.location + "\r\n")
            << line;
    }
    EXPECT_EQ(between(written({{"0042 05/10/07 21:00 P", 2, "calendario2.txt"}}).file,
                      "DESCRIPTION:", "CATEGORIES:"),
              "DESCRIPTION:Gara 0042\\, calendario2.txt\r\n");
}

TEST(IcsText, Utf8Validity) {
    struct Row {
        std::string bytes;
        bool valid;
    };
    const std::vector<Row> rows = {
        {"", true},
        {"abc\x7F", true},
        {"\xC2\x80\xDF\xBF", true},                      // the two-byte range
        {"\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBF", true},  // three bytes, around the surrogates
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", true},      // U+10000 and U+10FFFF
        {"\x80", false},
        {"\xC1\xBF", false},          // overlong
        {"\xE0\x9F\xBF", false},      // overlong
        {"\xF0\x8F\xBF\xBF", false},  // overlong
        {"\xED\xA0\x80", false},      // a surrogate
        {"\xF4\x90\x80\x80", false},  // past U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xC3", false},
        {"\xE2\x82", false},
        {"\xC3\x28", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(is_utf8(row.bytes), row.valid) << testing::PrintToString(row.bytes);
    }
}

TEST(IcsText, FoldingAt75Octets) {
    const std::string a74(74, 'a');
    const std::string a73(73, 'a');
    const std::string a72(72, 'a');
    struct Row {
        std::string line;
        std::string written;
    };
    const std::vector<Row> rows = {
        {a74 + "a", a74 + "a\r\n"},
        {a74 + "ab", a74 + "a\r\n b\r\n"},
        // A character that would cross octet 75 goes whole to the next piece.
        {a73 + "\xC3\xA9", a73 + "\xC3\xA9\r\n"},
        {a74 + "\xC3\xA9", a74 + "\r\n \xC3\xA9\r\n"},
        {a72 + "\xE2\x82\xAC", a72 + "\xE2\x82\xAC\r\n"},
        {a73 + "\xE2\x82\xAC", a73 + "\r\n \xE2\x82\xAC\r\n"},
        {a74 + "\xE2\x82\xAC", a74 + "\r\n \xE2\x82\xAC\r\n"},
        {a72 + "\xF0\x9F\x8F\x80", a72 + "\r\n \xF0\x9F\x8F\x80\r\n"},
        // Pieces after the first hold 74 octets after their space.
        {a74 + "a" + a74 + "b" + "c", a74 + "a\r\n " + a74 + "\r\n bc\r\n"},
        {a74 + "a" + a73 + "\xC3\xA9", a74 + "a\r\n " + a73 + "\r\n \xC3\xA9\r\n"},
        {"", "\r\n"},
    };
    for (const Row& row : rows) {
        std::string text;
        StringOutput output(text);
        LineWriter out(output);
        write_content_line(out, row.line);
        out.close();
        EXPECT_EQ(text, row.written) << row.line.size() << " octets";
    }
    // Through the writer: a long summary of two-byte characters is folded alike.
    std::string long_summary;
    for (int i = 0; i < 40; ++i) {
        long_summary += "Citt\xC3\xA0 ";
    }
    EXPECT_EQ(
        between(written({{"1 01/01/26 10:00 P " + long_summary}}).file, "SUMMARY:", "LOCATION:"),
        "SUMMARY:Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 "
        "Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\r\n"
        " \xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 "
        "Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 C\r\n"
        " itt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 "
        "Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\r\n"
        " \xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0 "
        "Citt\xC3\xA0 Citt\xC3\xA0 Citt\xC3\xA0\r\n");
}

// The UIDs of a file.
std::vector<std::string> uids(const std::string& file) {
    std::vector<std::string> result;
    for (std::size_t at = file.find("UID:"); at != std::string::npos;
         at = file.find("UID:", at + 1)) {
        result.push_back(file.substr(at + 4, file.find("\r\n", at) - at - 4));
    }
    return result;
}

TEST(IcsWriter, UidsFollowTheMatch) {
    const std::string_view u17 = "u17.txt";
    const std::string a12 = "12-1-u17.txt@gironario";
    const std::string a13 = "13-1-u17.txt@gironario";
    const std::string line12 = "12 04/10/26 18:00 PalaA Alfa - Beta";
    const std::string line13 = "13 11/10/26 18:00 PalaA Alfa - Gamma";
    // One season written again after each change: a UID that stays is the same string, and no two
    // events of a file share one.
    const std::vector<std::pair<std::vector<MatchLine>, std::vector<std::string>>> rows = {
        {{{line12, 2, u17, 3}, {line13, 2, u17, 4}}, {a12, a13}},
        // Moved to another day, hour and gym.
        {{{line13, 2, u17, 3}, {"12 19/10/26 20:30 PalaB Alfa - Beta", 2, u17, 4}}, {a13, a12}},
        // Years rewritten with four digits, a heading more, a description corrected.
        {{{"12 04/10/2026 18:00 PalaA Alfa - Beta Junior", 4, u17, 4},
          {"13 11/10/2026 18:00 PalaA Alfa - Gamma", 4, u17, 5}},
         {a12, a13}},
        // A number again, counted in the calendar's own order; "012" as written.
        {{{line12, 2, u17, 3},
          {"012 05/10/26 18:00 P X", 2, u17, 4},
          {line12, 2, u17, 5},
          {line13, 2, u17, 6}},
         {a12, "012-1-u17.txt@gironario", "12-2-u17.txt@gironario", a13}},
        // Two calendars named u17.txt, and another calendar.
        {{{line12, 2, u17, 3, 0},
          {line12, 2, u17, 3, 1, 2},
          {line12, 2, "prima, A.txt", 3, 2},
          {line13, 2, u17, 4, 0}},
         {a12, "12-1.2-u17.txt@gironario", "12-1-prima\\, A.txt@gironario", a13}},
    };
    for (const auto& [lines, expected] : rows) {
        EXPECT_EQ(uids(written(lines).file), expected) << lines[0].text;
    }
}

TEST(IcsWriter, LeftOutReasons) {
    struct Row {
        EventOutcome why;
        std::string line;
        int year_digits;
        std::string reason;
    };
    const std::vector<Row> rows = {
        {EventOutcome::bad_date, "13 31/02/2008 18:00 PalaA X", 4,
         "gara 13 del 31/02/2008 alle 18:00: data o ora inesistente, la gara non \xE8 in "
         "calendario.ics"},
        {EventOutcome::bad_date, "7 29/02/23 24:00 P", 2,
         "gara 7 del 29/02/23 alle 24:00: data o ora inesistente, la gara non \xE8 in "
         "calendario.ics"},
        {EventOutcome::bad_end, "1234 31/12/9999 23:00", 4,
         "gara 1234 del 31/12/9999 alle 23:00: finirebbe dopo l'anno 9999, la gara non \xE8 in "
         "calendario.ics"},
        {EventOutcome::undated, "8 25/10/2026 18:0", 4,
         "gara 8: data e ora non leggibili, la gara non \xE8 in calendario.ics"},
    };
    for (const Row& row : rows) {
        const LeftOut why = row.why == EventOutcome::bad_date  ? LeftOut::no_date
                            : row.why == EventOutcome::bad_end ? LeftOut::past_9999
                                                               : LeftOut::unreadable;
        EXPECT_EQ(left_out_reason(why, *LineRecord(row.line, row.year_digits),
                                  ", la gara non \xE8 in calendario.ics", MessageText()),
                  row.reason);
    }
}

TEST(IcsTimestamp, UtcText) {
    EXPECT_EQ(ics_timestamp(0), "19700101T000000Z");
    EXPECT_EQ(ics_timestamp(-1), "19691231T235959Z");
    EXPECT_EQ(ics_timestamp(1782909296), "20260701T123456Z");
    EXPECT_EQ(ics_timestamp(951782400), "20000229T000000Z");
    EXPECT_EQ(ics_timestamp(253402300799), "99991231T235959Z");
    EXPECT_EQ(ics_timestamp(253402300800), std::nullopt);
}

}  // namespace
}  // namespace gironario

namespace gironario {
namespace {

// Events name their calendar by its file name without folders; a file name that an earlier
// calendar of the run has too gets the calendar's rank among them, the first none.
TEST(IcsSources, FileNamesWithoutFoldersAndRanksOfRepeatedNames) {
    StringInput nothing("");
    LineReader reader(nothing);
    std::vector<Calendar> calendars;
    for (const char* name :
         {"squadre/u17.txt", "prima.txt", "altre/u17.txt", "u17.txt", "/srv/u15"}) {
        calendars.push_back({reader, 2, name});
    }
    const std::vector<IcsSource> sources = ics_sources(calendars);
    ASSERT_EQ(sources.size(), 5u);
    const char* const file_names[] = {"u17.txt", "prima.txt", "u17.txt", "u17.txt", "u15"};
    const char* const tags[] = {"u17", "prima", "u17", "u17", "u15"};
    const int ranks[] = {0, 0, 2, 3, 0};
    for (std::size_t i = 0; i < sources.size(); ++i) {
        EXPECT_EQ(sources[i].file_name, file_names[i]) << i;
        EXPECT_EQ(sources[i].tag, tags[i]) << i;
        EXPECT_EQ(sources[i].rank, ranks[i]) << i;
        EXPECT_EQ(sources[i].calendar, i);
    }
}

}  // namespace
}  // namespace gironario
