#pragma once

namespace gironario {

// While it lives, a Windows console shows the program's Latin-1 texts as they are meant: when
// standard output or standard error is a console, the console's output code page is set to 1252
// (Western European, where 0xE8 is an e with a grave accent), and the one it had is put back at
// the end, also when the program is ended by Ctrl-C, Ctrl-Break or closing the window. Output
// redirected to a file or a pipe is left as it is; elsewhere than on Windows it does nothing.
class ConsoleCodePage {
  public:
    ConsoleCodePage();
    ~ConsoleCodePage();
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

#ifdef _WIN32
  private:
    unsigned int saved_ = 0;  // the code page to put back, 0 when none was changed
#endif
};

// Whether the console window is the program's own, made for it because Explorer started it (a
// double-click, files dropped on it): that window closes as soon as the program ends. False in a
// command prompt, with no console at all, and elsewhere than on Windows.
bool console_window_is_own();

}  // namespace gironario
