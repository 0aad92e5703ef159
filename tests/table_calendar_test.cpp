#include "calendar/table_calendar.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace gironario {
namespace {

// A reading as lines: the encoding and the error, then one line per match, "LINE start|why not
// NUMBER|TITLE|HOME|AWAY|PLACE|ADDRESS|TOWN".
std::string described(const SourceReading& reading) {
    std::string text = reading.utf8 ? "utf8" : "1252";
    if (!reading.error.empty()) {
        text += " error: " + reading.error;
    }
    text += '\n';
    for (const MatchRecord& match : reading.matches) {
        char head[64];
        const bool dated = match.dating == Dating::dated;
        if (dated) {
            const LocalTime& t = match.at;
            std::snprintf(head, sizeof head, "%lld %04d-%02d-%02d %02d:%02d|", match.line_number,
                          t.year, t.month, t.day, t.hour, t.minute);
        } else {
            std::snprintf(head, sizeof head, "%lld !", match.line_number);
        }
        text += head;
        if (!dated) {
            text += match.unreadable + "|";
        }
        text += match.number + "|" + match.title + "|" + match.home + "|" + match.away + "|" +
                match.place + "|" + match.address + "|" + match.town + "\n";
        EXPECT_EQ(dated, match.unreadable.empty()) << text;
    }
    return text;
}

TEST(TableCalendar, Readings) {
    const struct {
        std::string_view what;
        std::string_view bytes;
        bool tsv;
        std::string_view expected;
    } cases[] = {
        {"an Italian Excel sheet: Windows-1252, CR LF, riposo and a time to come",
         "Giornata;Data;Ora;Casa;Ospite;Palestra\r\n"
         "1;04/10/2026;18:00;Lorvane;Citt\xE0;Palestra Pascoli\r\n"
         "2;11/10/2026;;Lorvane;Riposo;\r\n"
         "2;11/10/2026;20.30;RIPOSO;Lorvane;\r\n"
         ";;;;;\r\n"
         "3;18/10/2026;;Citt\xE0;Lorvane;PalaCitt\xE0\r\n"
         "4;sab 25/10/26;h 9;Lorvane;Beta;  Palestra   Pascoli \r\n",
         false,
         "1252\n"
         "2 2026-10-04 18:00|1|Lorvane - Citt\xE0|Lorvane|Citt\xE0|Palestra Pascoli||\n"
         "6 !la cella \"Ora\" \xE8 vuota|2|Citt\xE0 - Lorvane|Citt\xE0|Lorvane|PalaCitt\xE0||\n"
         "7 2026-10-25 09:00|3|Lorvane - Beta|Lorvane|Beta|Palestra Pascoli||\n"},
        {"a federation's export: BOM, titles above, =\"...\" cells, the match number as title",
         "\xEF\xBB\xBF"
         "Calendario gare\n"
         "Comitato regionale;;;\n"
         "DATA;ORA;CAMPIONATO;FASE;GIRONE;PARTITA;OSPITANTE;OSPITE;CAMPO;COMUNE;VIA\n"
         "=\"04/10/2026\";=\"18:00\";=\"Serie D\";=\"Andata\";=\"A\";=\"123\";=\"Team "
         "One\";=\"Citt\xC3\xA0 Volley\";=\"PalaX\";=\"Lorvane\";=\"Via Roma; 1\"\n"
         "=\"05/10/2026\";=\"da definire\";=\"Serie D\";;;=\"124\";=\"A\";=\"B\"\n"
         "DATA;ORA;CAMPIONATO;FASE;GIRONE;PARTITA;OSPITANTE;OSPITE;CAMPO;COMUNE;VIA\n"
         "=\"12/10/2026\";=\"21:00\";;;;=\"Girone B\";=\"C\";=\"D\"",
         false,
         "utf8\n"
         "4 2026-10-04 18:00|123|Team One - Citt\xC3\xA0 Volley|Team One|Citt\xC3\xA0 "
         "Volley|PalaX|Via Roma; 1|Lorvane\n"
         "5 !ora non leggibile: \"da definire\"|124|A - B|A|B|||\n"
         "7 2026-10-12 21:00|3|C - D|C|D|||\n"},
        {"Google Sheets: commas, quotes with separators, \"\" and a line break",
         "Data,Ora,Partita,Luogo\n"
         "\"sab 04/10/2026\",\"ore 18.00\",\"Alfa - \"\"Beta\"\"\",\"Palestra\n"
         "Pascoli, Via X\"\n"
         "5/10/26,h. 9:30,Gamma\n"
         "6.10.26 , 18,\"\",Stadio\n"
         "\"31/02/2027\",18:00,Delta,\n",
         false,
         "utf8\n"
         "2 2026-10-04 18:00|1|Alfa - \"Beta\"|||Palestra Pascoli, Via X||\n"
         "4 2026-10-05 09:30|2|Gamma|||||\n"
         "5 2026-10-06 18:00|3|Stadio|||Stadio||\n"
         "6 !data non leggibile: \"31/02/2027\"|4|Delta|||||\n"},
        {"a results site's names, and a time that does not exist",
         "Div,Date,Time,HomeTeam,AwayTeam,FTHG\n"
         "I1,2026-10-04,20:45,Milan,Inter,2\n"
         "I1,4/10/26,25:00,A,B\n",
         false,
         "utf8\n"
         "2 2026-10-04 20:45|1|Milan - Inter|Milan|Inter|||\n"
         "3 !ora non leggibile: \"25:00\"|2|A - B|A|B|||\n"},
        {"a .tsv with the other names, in other spellings",
         "N\xB0\tGiorno\tOrario\tSquadra di casa\tSquadra ospite\tImpianto\tIndirizzo\tCitt\xE0\n"
         "7\tDomenica 5/10/2026\t11,00\tA\tB\tPalaA\tVia Po 2\tLorvane\n",
         true,
         "1252\n"
         "2 2026-10-05 11:00|7|A - B|A|B|PalaA|Via Po 2|Lorvane\n"},
        {"a federation sheet: the weekday in Giorno, the date in Data, the code as the number",
         "Codice gara;Giorno;Data;Ora;Squadra A;Squadra B;Campo;IndirizzoImpianto\n"
         "Giornata 3\n"
         "443;Sabato;18/10/2026;18:30;Lorvane;Borgo;PalaA;Via Roma 1\n",
         false,
         "utf8\n"
         "3 2026-10-18 18:30|443|Lorvane - Borgo|Lorvane|Borgo|PalaA|Via Roma 1|\n"},
        {"more spellings, chosen by the separator that finds the header",
         "Calendario, stagione 2026/27, andata\n"
         "n. gara;Data partita;ora_inizio;Home_Team;away team;Palazzetto;Localita'\n"
         "A1;04/10/2026;18:00;A, B;C;Pala;X\n",
         false,
         "utf8\n"
         "3 2026-10-04 18:00|A1|A, B - C|A, B|C|Pala||X\n"},
        {"no time column: the date cell holds the time, or the row cannot be dated",
         "Data e ora\tIncontro\tStadio\n"
         "18/03/26 20:30\tA - B\tStadio X\n"
         "18/03/26\tC - D\t\n"
         "da definire\tE - F\n"
         // A title alone is a heading, not a match.
         "\tG - H\n",
         false,
         "utf8\n"
         "2 2026-03-18 20:30|1|A - B|||Stadio X||\n"
         "3 !la cella \"Data e ora\" non dice l'ora: \"18/03/26\"|2|C - D|||||\n"
         "4 !data non leggibile: \"da definire\"|3|E - F|||||\n"},
        {"a table without a date column", "Giornata;Casa;Ospite\n1;A;B\n", false,
         "utf8 error: nessuna delle prime dieci righe nomina la colonna della data (si cercano le "
         "intestazioni Data, Date, Giorno, Data gara, Data partita, Data incontro, Data evento, "
         "Data ora, Data e ora, Data/ora, Match date, Date time, Date/time)\n"},
        {"a header past the first ten rows", "a\nb\nc\nd\ne\nf\ng\nh\n\n\ni\nj\nData;Ora\n", false,
         "utf8 error: nessuna delle prime dieci righe nomina la colonna della data (si cercano le "
         "intestazioni Data, Date, Giorno, Data gara, Data partita, Data incontro, Data evento, "
         "Data ora, Data e ora, Data/ora, Match date, Date time, Date/time)\n"},
        {"an empty table, blank lines and a header alone", "\r\n\r\n", false, "utf8\n"},
        {"a header alone", "Data;Ora\n", false, "utf8\n"},
        {"a quote left open takes the rest",
         "Data;Ora;Gara\n04/10/26;18:00;\"A - B\n05/10/26;18:00;C\n", false,
         "utf8\n"
         "2 2026-10-04 18:00|1|A - B 05/10/26;18:00;C|||||\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(described(read_table(c.bytes, c.tsv)), c.expected) << c.what;
    }
}

// Every header name a club's file may use finds its column, in any case and with the accents,
// dots and underscores people put in it.
TEST(TableCalendar, HeaderNames) {
    const struct {
        std::string MatchRecord::*field;  // null: the date or the time column
        std::vector<std::string_view> names;
    } columns[] = {
        {nullptr, {"Data", "Date", "Giorno", "DATA", " data. ", "Data e ora"}},
        {nullptr, {"Ora", "Orario", "Ore", "Time", "Inizio", "ORA_INIZIO"}},
        {&MatchRecord::home,
         {"Casa", "Squadra casa", "Squadra di casa", "Ospitante", "Locali", "Home", "HomeTeam",
          "Home team", "home_team"}},
        {&MatchRecord::away,
         {"Ospite", "Ospiti", "Squadra ospite", "Trasferta", "Away", "AwayTeam", "Away team"}},
        {&MatchRecord::title, {"Partita", "Incontro", "Gara", "Match", "Descrizione", "Evento"}},
        {&MatchRecord::place,
         {"Campo", "Campo di gioco", "Palestra", "Impianto", "Palazzetto", "Luogo", "Stadio",
          "Venue", "Location"}},
        {&MatchRecord::address, {"Indirizzo", "Via", "IndirizzoImpianto", "Indirizzo impianto"}},
        {&MatchRecord::town,
         {"Comune", "Citta", "CITT\xC3\x80", "Localit\xC3\xA0", "Localita", "Localita'"}},
        {&MatchRecord::number,
         {"N", "Nr", "Num", "Numero", "N gara", "N. gara", "N\xC2\xB0 gara", "Numero gara",
          "Codice", "Cod gara", "Cod. gara", "ID", "Gara N", "GaraN", "N\xC2\xB0 gara", "Num. gara",
          "Codice gara", "Partita nr", "Id partita"}},
    };
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        for (const std::string_view name : columns[i].names) {
            std::string table;
            if (i == 0) {
                table = std::string(name) + ";Ora\n04/10/26;18:00\n";
            } else if (i == 1) {
                table = "Data;" + std::string(name) + ";Gara\n04/10/26;18:00;X\n";
            } else {
                table = "Data;Ora;" + std::string(name) + "\n04/10/26;18:00;X\n";
            }
            const SourceReading reading = read_table(table, false);
            ASSERT_EQ(reading.matches.size(), 1u) << name;
            const MatchRecord& match = reading.matches[0];
            EXPECT_EQ(match.at, (LocalTime{2026, 10, 4, 18, 0})) << name;
            if (columns[i].field != nullptr) {
                EXPECT_EQ(match.*columns[i].field, "X") << name;
            }
        }
    }
}

}  // namespace
}  // namespace gironario
