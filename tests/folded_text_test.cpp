#include "calendar/folded_text.hpp"

#include <gtest/gtest.h>

namespace gironario {
namespace {

// Both encodings of one text fold alike; what has no plain letter stays, in UTF-8.
TEST(FoldedText, Folds) {
    const struct {
        std::string_view bytes;
        bool utf8;
        std::string_view expected;
    } rows[] = {
        {"", true, ""},
        {" \t\n ", false, ""},
        {"  POL.  Lorvane\t\r\nU17 ", true, "pol. lorvane u17"},
        {"CITT\xC3\x80 Stra\xC3\x9F"
         "e \xC5\x92uvre \xC5\xB8",
         true, "citta strasse oeuvre y"},
        {"CITT\xC0 Stra\xDF"
         "e \x8Cuvre \x9F",
         false, "citta strasse oeuvre y"},
        {"Sant\xE2\x80\x99"
         "Anna\xC2\xA0"
         "B",
         true, "sant'anna b"},
        {"Sant\x92"
         "Anna\xA0"
         "B",
         false, "sant'anna b"},
        {"2\xC3\x97"
         "3 \xE2\x82\xAC \xCE\xA9",
         true,
         "2\xC3\x97"
         "3 \xE2\x82\xAC \xCE\xA9"},
        {"2\xD7"
         "3 \x80",
         false,
         "2\xC3\x97"
         "3 \xE2\x82\xAC"},
        // Bytes that are not UTF-8 after all: each alone, as Latin-1.
        {"Citt\xE0 \x80", true, "citta \x80"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(folded(row.bytes, row.utf8), row.expected) << row.bytes;
    }
}

}  // namespace
}  // namespace gironario
