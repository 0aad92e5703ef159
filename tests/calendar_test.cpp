// What every source of matches hands the merge: one record per match, whatever the file it comes
// from. A row of this table is the bytes of a calendar and the records it yields, in its order.

#include "calendar/calendar.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calendar/prepared_source.hpp"
#include "io/byte_stream.hpp"

namespace gironario {
namespace {

// A record as this table writes it: "number|dd/mm/yyyy hh:mm or why not|place|title|line as
// written".
std::string shown(const Calendar& calendar) {
    const MatchRecord& match = calendar.record();
    std::string text(match.number);
    text += '|';
    if (match.dating == Dating::dated) {
        append_date_time(text, local_time(match.start));
    } else {
        text += match.dating == Dating::bad_date ? "no day" : "unreadable";
    }
    text.append("|").append(match.place).append("|").append(match.title).append("|");
    text.append(match.line);
    return text;
}

struct Row {
    const char* name;
    std::string file_name;  // its ending tells what kind of calendar it is
    std::string bytes;
    int year_digits;
    std::vector<std::string> records;
    std::vector<std::string> places{};  // the run's known places, for a text calendar
};

// clang-format off
const std::vector<Row> rows = {
    {"a text line in its columns", "u17.txt", "Girone\n12 05/10/2026 21:00 PalaA Alfa - Beta \r\n", 4,
     {"12|05/10/2026 21:00|PalaA|Alfa - Beta|12 05/10/26 21:00 PalaA Alfa - Beta \r"}},
    {"not to be read", "u17.txt", "6 da definire\n7 31/02/26 18:00 P\n", 2,
     {"6|unreadable|||6 da definire", "7|no day|P||7 31/02/26 18:00 P"}},
    {"days of one month, and the same month of another century", "u17.txt",
     "1 28/02/2023 18:00 P\n2 29/02/2023 18:00 P\n3 00/02/2023 9:00\n4 01/03/2023 10:00 P\n"
     "5 31/03/2023 10:00 P\n6 31/03/2123 10:00 P\n7 32/03/2123 10:00 P\n8 29/02/2024 18:00 P\n", 4,
     {"1|28/02/2023 18:00|P||1 28/02/23 18:00 P", "2|no day|P||2 29/02/23 18:00 P",
      "3|unreadable|||3 00/02/2023 9:00", "4|01/03/2023 10:00|P||4 01/03/23 10:00 P",
      "5|31/03/2023 10:00|P||5 31/03/23 10:00 P", "6|31/03/2123 10:00|P||6 31/03/23 10:00 P",
      "7|no day|P||7 32/03/23 10:00 P", "8|29/02/2024 18:00|P||8 29/02/24 18:00 P"}},
    {"two-digit years, 20yy up to 68 and 19yy from 69", "u17.txt",
     "1 01/12/68 18:00 P\n2 01/12/69 18:00 P\n", 2,
     {"1|01/12/2068 18:00|P||1 01/12/68 18:00 P", "2|01/12/1969 18:00|P||2 01/12/69 18:00 P"}},
    // A line read by its date lends nothing to the next: each is read by its own number.
    {"lines typed out of their columns, one after another", "u17.txt",
     "1234\t06/10/2007 18:00 PalaA A - B\n1234\t13/10/2007 18:00 PalaA C - D\n", 4,
     {"1234|06/10/2007 18:00|PalaA|A - B|1234 06/10/07 18:00 PalaA A - B",
      "1234|13/10/2007 18:00|PalaA|C - D|1234 13/10/07 18:00 PalaA C - D"}},
    {"after a line typed out of its columns, a line that is neither", "u17.txt",
     "100 04/10/26 18:00 P X\n1234\t06/10/26 18:00 P Y\n1235\t06/12026 18:00 P Z\n", 2,
     {"100|04/10/2026 18:00|P|X|100 04/10/26 18:00 P X",
      "1234|06/10/2026 18:00|P|Y|1234 06/10/26 18:00 P Y",
      "1235|unreadable|||1235\t06/12026 18:00 P Z"}},
    {"only spaces and tabs follow a time", "u17.txt",
     "2 5/10/26 18:00\rPalaA C - D\n3 5/10/26 18:00\tPalaA C - D\r\n4 5/10/26 18:00\r\n", 2,
     {"2|unreadable|||2 5/10/26 18:00\rPalaA C - D",
      "3|05/10/2026 18:00|PalaA|C - D|3 05/10/26 18:00 PalaA C - D\r",
      "4|05/10/2026 18:00|||4 05/10/26 18:00\r"}},
    {"a long line typed out of its columns", "u17.txt",
     "2 5/10/26 18:00 PalaA " + std::string(70000, 'x') + "\n", 2,
     {"2|05/10/2026 18:00|PalaA|" + std::string(70000, 'x') + "|2 05/10/26 18:00 PalaA " +
      std::string(70000, 'x')}},
    {"a table's rows, in date and time order", "coppa.csv",
     "DATA;ORA;N;CASA;OSPITE;CAMPO;COMUNE\n05/10/2026;20:30;2;Alfa;Beta;Pala Nord;Nordia\n"
     "04/10/2026;18:00;1;Eta;Zeta;;\n", 2,
     {"1|04/10/2026 18:00||Eta - Zeta|1 04/10/26 18:00 - Eta - Zeta",
      "2|05/10/2026 20:30|Pala Nord|Alfa - Beta|2 05/10/26 20:30 Pala\xC2\xA0Nord Alfa - Beta"}},
    {"an event in UTC, in Italian time", "app.ics",
     "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTART:20261004T160000Z\r\n"
     "SUMMARY:U17 - Alfa\r\nLOCATION:Palestra Pascoli\\, Pisa\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", 2,
     {"1|04/10/2026 18:00|Palestra Pascoli|U17 - Alfa|"
      "1 04/10/26 18:00 Palestra\xC2\xA0Pascoli,\xC2\xA0Pisa U17 - Alfa"}},
    // Places of several words, longest first: the whole name is the place, the line as it was.
    {"known places of several words", "u17.txt",
     "1 04/10/26 18:00 Palestra Pascoli Alfa - Beta\n"
     "2 04/10/26 18:00 PALESTRA PASCOLI NORD A - B\n3 04/10/26 18:00 Palestra PascoliX A\n"
     "4 5/10/26 18:00 Palestra  Pascoli C\n5 5/10/26 18:00 Palestra Pascoli\n", 2,
     {"1|04/10/2026 18:00|Palestra Pascoli|Alfa - Beta|"
      "1 04/10/26 18:00 Palestra Pascoli Alfa - Beta",
      "2|04/10/2026 18:00|PALESTRA PASCOLI NORD|A - B|2 04/10/26 18:00 PALESTRA PASCOLI NORD A - B",
      "3|04/10/2026 18:00|Palestra|PascoliX A|3 04/10/26 18:00 Palestra PascoliX A",
      "4|05/10/2026 18:00|Palestra|Pascoli C|4 05/10/26 18:00 Palestra  Pascoli C",
      "5|05/10/2026 18:00|Palestra Pascoli||5 05/10/26 18:00 Palestra Pascoli"},
     {"Palestra Pascoli Nord", "Palestra Pascoli"}},
};
// clang-format on

TEST(Calendar, RecordsOfEverySource) {
    for (const Row& row : rows) {
        std::vector<std::string> records;
        StringInput input(row.bytes);
        LineReader reader(input);
        PreparedCalendar prepared;
        const CalendarKind kind = calendar_kind(row.file_name, row.bytes);
        std::unique_ptr<Calendar> calendar;
        if (kind == CalendarKind::text) {
            calendar = std::make_unique<Calendar>(reader, row.year_digits, row.file_name);
            if (!row.places.empty()) {
                calendar->know_places(row.places);
            }
        } else {
            prepared = prepare_calendar(kind, row.bytes);
            calendar = std::make_unique<Calendar>(prepared, row.file_name);
        }
        for (CalendarStep step; (step = calendar->next()) != CalendarStep::ended;) {
            if (step == CalendarStep::match) {
                records.push_back(shown(*calendar));
            }
        }
        EXPECT_EQ(records, row.records) << row.name;
    }
}

}  // namespace
}  // namespace gironario
