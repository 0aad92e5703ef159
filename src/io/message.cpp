#include "io/message.hpp"

#include "io/text.hpp"

namespace gironario {

std::string to_console(std::string_view text, ConsoleEncoding encoding) {
    std::string converted;
    MessageText(encoding).own(converted, text);
    return converted;
}

std::string more_not_listed(long long count, std::string_view one, std::string_view many) {
    std::string text;
    if (count == 1) {
        text.append("un'altra ").append(one).append(" non \xE8 elencata");
    } else {
        text.append("altre ").append(std::to_string(count)).append(" ");
        text.append(many).append(" non sono elencate");
    }
    return text;
}

void MessageText::about_line(std::string& message, std::string_view file,
                             long long line_number) const {
    own(message, "gironario: ");
    foreign(message, file);
    message += ':';
    message.append(std::to_string(line_number));
    message.append(": ");
}

void MessageText::own(std::string& message, std::string_view latin1) const {
    if (encoding_ == ConsoleEncoding::latin1) {
        message.append(latin1);
        return;
    }
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            message += c;
        } else {
            // Latin-1 is the first 256 code points of Unicode.
            append_utf8(message, byte);
        }
    }
}

void MessageText::foreign(std::string& message, std::string_view bytes) const {
    if (encoding_ == ConsoleEncoding::latin1 || is_utf8(bytes)) {
        message.append(bytes);
    } else {
        message.append(utf8_of_windows_1252(bytes));
    }
}

}  // namespace gironario
