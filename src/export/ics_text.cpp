#include "export/ics_text.hpp"

#include <algorithm>

namespace gironario {

namespace {

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

}  // namespace

void append_text_value(std::string& value, std::string_view bytes, bool utf8) {
    append_text(value, bytes, utf8, TextEscapes::icalendar);
}

void write_content_line(LineWriter& out, std::string_view line) {
    std::size_t room = ICS_LINE_OCTETS;
    while (line.size() > room) {
        std::size_t cut = room;
        // Back to the start of the character that would be split: at most three bytes.
        while (is_continuation(static_cast<unsigned char>(line[cut]))) {
            --cut;
        }
        out.put(line.substr(0, cut));
        out.put("\r\n ");
        line.remove_prefix(cut);
        room = ICS_LINE_OCTETS - 1;
    }
    out.put(line);
    out.put("\r\n");
}

std::string latin1_of_text_value(std::string_view value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte == '\\' && i + 1 < value.size()) {
            ++i;
            text += value[i] == 'n' || value[i] == 'N' ? ' ' : value[i];
        } else if (byte < 0x80) {
            text += value[i];
        } else if (byte >= 0xC0) {
            std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            const auto second =
                i + 1 < value.size() ? static_cast<unsigned char>(value[i + 1]) : 0u;
            if (length == 2 && byte <= 0xC3) {
                text += static_cast<char>((byte & 0x03u) << 6 | (second & 0x3Fu));
            } else {
                text += '?';
            }
            i += std::min(length, value.size() - i) - 1;
        }
    }
    return text;
}

}  // namespace gironario
