#include "calendar/row_encoding.hpp"

#include "io/text.hpp"

namespace gironario {

namespace {

void to_windows_1252(std::string& text) {
    if (!is_utf8(text)) {
        return;  // in Windows-1252 already
    }
    text = windows_1252_of_utf8(text);
}

}  // namespace

void rows_in_windows_1252(PreparedCalendar& calendar) {
    for (std::vector<MatchRecord>* matches : {&calendar.dated, &calendar.undated}) {
        for (MatchRecord& match : *matches) {
            if (!is_utf8(match.line)) {
                continue;
            }
            for (std::string* text :
                 {&match.line, &match.number, &match.place, &match.title, &match.location,
                  &match.address, &match.town, &match.league, &match.home, &match.away}) {
                to_windows_1252(*text);
            }
        }
    }
    calendar.reading.utf8 = false;
}

}  // namespace gironario
