#pragma once

// Messages for the console, put together from the program's own words and from words that come
// from files or the command line (file names, places, titles): each kind in the bytes the console
// shows right.

#include <functional>
#include <string>
#include <string_view>

namespace gironario {

// What the console shows its bytes as.
enum class ConsoleEncoding { latin1, utf8 };

// Takes a warning, a whole line in the console's encoding.
using Warn = std::function<void(std::string_view)>;

// Appends the two kinds of words to a message for a console of one encoding.
class MessageText {
  public:
    MessageText() = default;
    explicit MessageText(ConsoleEncoding encoding) : encoding_(encoding) {}

    ConsoleEncoding encoding() const { return encoding_; }

    // One of the program's own texts, written in Latin-1 ("\xE8" for "è"): as it is, or in
    // UTF-8 for a UTF-8 console.
    void own(std::string& message, std::string_view latin1) const;

    // Words from a file or the command line: as they are, but on a UTF-8 console bytes that are
    // not UTF-8 are read as Windows-1252, as the calendars' other readers read them.
    void foreign(std::string& message, std::string_view bytes) const;

    // The start of a warning about line `line_number` of `file`: "gironario: <file>:<line>: ".
    void about_line(std::string& message, std::string_view file, long long line_number) const;

  private:
    ConsoleEncoding encoding_ = ConsoleEncoding::latin1;
};

// "un'altra ONE non \xE8 elencata" or "altre COUNT MANY non sono elencate", in Latin-1: what a
// warning that stops listing after a few says of the rest.
std::string more_not_listed(long long count, std::string_view one, std::string_view many);

// `text`, in Latin-1, as a console of `encoding` must receive it.
std::string to_console(std::string_view text, ConsoleEncoding encoding);

}  // namespace gironario
