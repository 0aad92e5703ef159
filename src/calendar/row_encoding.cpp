#include "calendar/row_encoding.hpp"

#include <array>

#include "io/text.hpp"

namespace gironario {

namespace {

// The characters of Windows-1252's bytes 0x80 to 0x9F, as the one decoder reads them.
std::array<char32_t, 32> upper_controls() {
    std::array<char32_t, 32> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const char byte = static_cast<char>(0x80 + i);
        codes[i] = next_character(std::string_view(&byte, 1), false).code;
    }
    return codes;
}

void to_windows_1252(std::string& text) {
    if (!is_utf8(text)) {
        return;  // in Windows-1252 already
    }
    text = windows_1252_of_utf8(text);
}

}  // namespace

std::string windows_1252_of_utf8(std::string_view bytes) {
    static const std::array<char32_t, 32> codes = upper_controls();
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const TextCharacter c = next_character(bytes, true);
        bytes.remove_prefix(c.length);
        if (c.code < 0x80 || (c.code >= 0xA0 && c.code <= 0xFF)) {
            out += static_cast<char>(c.code);
            continue;
        }
        char byte = '?';
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (codes[i] == c.code) {
                byte = static_cast<char>(0x80 + i);
                break;
            }
        }
        out += byte;
    }
    return out;
}

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
