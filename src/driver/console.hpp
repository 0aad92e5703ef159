#pragma once

// What the program says at the console. Its own texts are written in Latin-1 ("\xE8" for "è"),
// the bytes it has always written; a console whose locale speaks UTF-8 gets them in UTF-8, so that
// every word reads right. Files never pass through here: they keep their bytes whatever the locale.

#include <ostream>
#include <string>
#include <string_view>

namespace gironario {

enum class ConsoleEncoding { latin1, utf8 };

// `text`, in Latin-1, as a console of `encoding` must receive it.
std::string to_console(std::string_view text, ConsoleEncoding encoding);

// The encoding of the user's locale, once setlocale(LC_CTYPE, "") has chosen it: UTF-8 where the
// locale says so, Latin-1 bytes (as always) everywhere else, the C locale and Windows included.
ConsoleEncoding locale_console_encoding();

// Standard output and standard error as the program writes to them.
class Console {
  public:
    Console(std::ostream& out, std::ostream& err, ConsoleEncoding encoding);

    // One of the program's own texts on standard output.
    void say(std::string_view text);

    // One of the program's own messages, a whole line, on standard error.
    void warn(std::string_view line);

    // "gironario: <file>: <what>: <the system's reason>" on standard error. The reason comes from
    // the C library already in the locale's encoding, so it is written as it is.
    void report(std::string_view file, std::string_view what, int error);

    // Everything said so far is on the screen: the program is about to wait for an answer.
    void flush() { out_.flush(); }

    ConsoleEncoding encoding() const { return encoding_; }

    // Standard output itself, for a result written there byte for byte.
    std::ostream& output() { return out_; }

  private:
    std::ostream& out_;
    std::ostream& err_;
    ConsoleEncoding encoding_;
};

}  // namespace gironario
