#pragma once

// What the program says at the console. Its own texts are written in Latin-1 ("\xE8" for "è"),
// the bytes it has always written; a console whose locale speaks UTF-8 gets them in UTF-8, so that
// every word reads right. Files never pass through here: they keep their bytes whatever the locale.

#include <ostream>
#include <string>
#include <string_view>

#include "io/message.hpp"

namespace gironario {

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

    // A message put together with text(), a whole line, on standard error as it is.
    void put_warning(std::string_view line) { err_ << line; }
    // The same on standard output.
    void put(std::string_view text) { out_ << text; }

    // "gironario: <file>: <what>\n" on standard error: the file named as the user gave it.
    void warn_about(std::string_view file, std::string_view what);

    // How the console's messages are put together.
    MessageText text() const { return MessageText(encoding_); }

    // "gironario: <file>: <what>: <the system's reason>" on standard error. The reason comes from
    // the C library already in the locale's encoding, so it is written as it is.
    void report(std::string_view file, std::string_view what, int error);

    // Everything said so far is on the screen: the program is about to wait for an answer.
    void flush() { out_.flush(); }

    // Standard output itself, for a result written there byte for byte.
    std::ostream& output() { return out_; }

  private:
    // "gironario: <file>: <what>", the file named as the user gave it.
    std::string about(std::string_view file, std::string_view what) const;

    std::ostream& out_;
    std::ostream& err_;
    ConsoleEncoding encoding_;
};

}  // namespace gironario
