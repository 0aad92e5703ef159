#include "driver/console.hpp"

#include <cstring>

#include "io/text.hpp"

#if !defined(_WIN32)
#include <langinfo.h>
#endif

namespace gironario {

std::string to_console(std::string_view text, ConsoleEncoding encoding) {
    if (encoding == ConsoleEncoding::latin1) {
        return std::string(text);
    }
    std::string converted;
    converted.reserve(text.size() + 8);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            converted += c;
        } else {
            // Latin-1 is the first 256 code points of Unicode: two bytes each in UTF-8.
            converted += static_cast<char>(0xC0 | byte >> 6);
            converted += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return converted;
}

ConsoleEncoding locale_console_encoding() {
#if defined(_WIN32)
    // Windows consoles are told to show Latin-1 instead (see windows_console.hpp); redirected
    // output keeps the bytes it always had.
    return ConsoleEncoding::latin1;
#else
    // glibc says "UTF-8"; other systems have been seen to say "utf8".
    std::string name;
    for (const char* c = nl_langinfo(CODESET); *c != '\0'; ++c) {
        if (*c != '-' && *c != '_') {
            name += ascii_lower(*c);
        }
    }
    return name == "utf8" ? ConsoleEncoding::utf8 : ConsoleEncoding::latin1;
#endif
}

Console::Console(std::ostream& out, std::ostream& err, ConsoleEncoding encoding)
    : out_(out), err_(err), encoding_(encoding) {}

void Console::say(std::string_view text) {
    out_ << to_console(text, encoding_);
}

void Console::warn(std::string_view line) {
    err_ << to_console(line, encoding_);
}

void Console::report(std::string_view file, std::string_view what, int error) {
    std::string line = "gironario: ";
    line.append(file).append(": ").append(what).append(": ");
    err_ << to_console(line, encoding_) << std::strerror(error) << '\n';
}

}  // namespace gironario
