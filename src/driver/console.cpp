#include "driver/console.hpp"

#include <cstring>

#include "io/text.hpp"

#if !defined(_WIN32)
#include <langinfo.h>
#endif

namespace gironario {

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

std::string Console::about(std::string_view file, std::string_view what) const {
    const MessageText text(encoding_);
    std::string line;
    text.own(line, "gironario: ");
    text.foreign(line, file);
    text.own(line, ": ");
    text.own(line, what);
    return line;
}

void Console::warn_about(std::string_view file, std::string_view what) {
    err_ << about(file, what) << to_console("\n", encoding_);
}

void Console::report(std::string_view file, std::string_view what, int error) {
    err_ << about(file, what) << ": " << std::strerror(error) << '\n';
}

}  // namespace gironario
