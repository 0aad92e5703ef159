#include "calendar/match_record.hpp"

#include <gtest/gtest.h>

#include <string>

namespace gironario {
namespace {

MatchRecord record(std::string_view number, Dating dating, LocalTime at = {}, int year_digits = 2,
                   std::string_view unreadable = "", std::string_view place = "",
                   std::string_view title = "") {
    MatchRecord match;
    match.number = number;
    match.dating = dating;
    match.at = at;
    match.year_digits = year_digits;
    match.unreadable = unreadable;
    match.place = place;
    match.title = title;
    return match;
}

TEST(MatchRecord, LeftOutReasons) {
    const std::string_view where = ", la gara non \xE8 in calendario.ics";
    const struct {
        LeftOut why;
        MatchRecord match;
        ConsoleEncoding console;
        std::string_view expected;
    } rows[] = {
        {LeftOut::unreadable,
         record("12", Dating::unreadable, {}, 2, "la cella \"Data\" \xE8 vuota"),
         ConsoleEncoding::utf8, "gara 12: la cella \"Data\" \xC3\xA8 vuota"},
        {LeftOut::unreadable, record("12", Dating::bad_shape), ConsoleEncoding::latin1,
         "gara 12: data e ora non leggibili"},
        {LeftOut::unreadable, record("12", Dating::dated, {2026, 10, 4, 18, 30}),
         ConsoleEncoding::latin1, "gara 12: data e ora non leggibili"},
        {LeftOut::no_date, record("N\xB0 7", Dating::bad_shape), ConsoleEncoding::utf8,
         "gara N\xC2\xB0 7: data e ora non leggibili"},
        {LeftOut::no_date, record("7", Dating::bad_date, {}, 4, "31/02/2026 alle 18:30"),
         ConsoleEncoding::latin1, "gara 7 del 31/02/2026 alle 18:30: data o ora inesistente"},
        {LeftOut::past_9999, record("7", Dating::dated, {9999, 12, 31, 23, 30}, 4),
         ConsoleEncoding::latin1, "gara 7 del 31/12/9999 alle 23:30: finirebbe dopo l'anno 9999"},
        {LeftOut::past_9999, record("7", Dating::dated, {9999, 12, 31, 23, 30}),
         ConsoleEncoding::latin1, "gara 7 del 31/12/99 alle 23:30: finirebbe dopo l'anno 9999"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(left_out_reason(row.why, row.match, where, MessageText(row.console)),
                  std::string(row.expected) + std::string(where));
    }
}

TEST(MatchRecord, RowLines) {
    const struct {
        MatchRecord match;
        bool utf8;
        std::string_view line;
    } rows[] = {
        {record("12", Dating::dated, {2026, 10, 4, 18, 30}, 2, "", "Palestra Rossi", "Alfa - Beta"),
         true, "12 04/10/26 18:30 Palestra\xC2\xA0Rossi Alfa - Beta"},
        {record("7 ter", Dating::unreadable, {2026, 10, 4, 18, 30}, 2, "", "", "Alfa\tBeta\n"),
         false, "7\xA0ter -- - Alfa Beta "},
        {record("3", Dating::dated, {2100, 1, 2, 0, 5}, 2, "", "P\nQ"), false,
         "3 02/01/00 00:05 P\xA0Q "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row_line(row.match, row.utf8), row.line);
    }
    // What is known of a row that cannot be dated: its day, or its time.
    MatchRecord day = record("8", Dating::unreadable, {2026, 10, 4, 0, 0}, 2, "", "P", "A");
    day.day_known = true;
    EXPECT_EQ(row_line(day, true), "8 04/10/26 -- P A");
    MatchRecord time = record("9", Dating::unreadable, {0, 0, 0, 20, 30}, 2, "", "P", "A");
    time.time_known = true;
    EXPECT_EQ(row_line(time, true), "9 -- 20:30 P A");
}

// The title the formats show: the place stands in for a title with nothing to show.
TEST(MatchRecord, Titles) {
    const struct {
        std::string_view title;
        std::string_view place;
        bool utf8;
        std::string_view shown;
    } rows[] = {
        {"  Alfa - Beta\t", "Palestra", true, "Alfa - Beta"},
        {"", "Palestra", true, "Palestra"},
        {" \t\x01 ", " Palestra ", true, "Palestra"},
        {"", "", true, ""},
        {"Citt\xE0", "", false, "Citt\xC3\xA0"},
        {"Citt\xE0", "", true, "Citt\xC3\xA0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(match_title(row.title, row.place, row.utf8), row.shown) << row.title;
    }
}

// A row's start: its keys, and the date and time as the messages write them.
TEST(MatchRecord, RowStarts) {
    const struct {
        LocalTime start;
        MatchKeys keys;
        std::string_view written;
    } rows[] = {
        {{2026, 10, 4, 18, 5}, {261004, 1805}, "04/10/2026 18:05"},
        {{2100, 1, 2, 0, 0}, {102, 0}, "02/01/2100 00:00"},
        {{999, 12, 31, 23, 59}, {991231, 2359}, "31/12/0999 23:59"},
    };
    for (const auto& row : rows) {
        MatchRecord match;
        set_row_start(match, row.start);
        std::string written;
        append_date_time(written, match.at);
        EXPECT_EQ(match.keys, row.keys);
        EXPECT_EQ(match.start, minute_number(row.start));
        EXPECT_EQ(written, row.written);
    }
}

}  // namespace
}  // namespace gironario
