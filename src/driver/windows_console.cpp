#include "driver/windows_console.hpp"

#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <atomic>

namespace gironario {

namespace {

constexpr UINT western_european = 1252;

// The console control handler runs on a thread of its own and takes no argument: the code page
// to put back can only reach it through here. 0 while there is none.
std::atomic<UINT> code_page_to_restore{0};

bool is_console(DWORD standard_handle) {
    const HANDLE handle = GetStdHandle(standard_handle);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// The console outlives the program and is shared with the command prompt that started it, so its
// code page is put back before the default handler ends the process, which runs no destructor.
BOOL WINAPI restore_before_ending(DWORD) {
    const UINT saved = code_page_to_restore.exchange(0);
    if (saved != 0) {
        SetConsoleOutputCP(saved);
    }
    return FALSE;  // the default handling goes on: the program ends as it would have
}

}  // namespace

ConsoleCodePage::ConsoleCodePage() {
    if (!is_console(STD_OUTPUT_HANDLE) && !is_console(STD_ERROR_HANDLE)) {
        return;
    }
    const UINT current = GetConsoleOutputCP();
    if (current == 0 || current == western_european) {
        return;
    }
    code_page_to_restore = current;
    SetConsoleCtrlHandler(restore_before_ending, TRUE);
    if (SetConsoleOutputCP(western_european)) {
        saved_ = current;
    } else {
        code_page_to_restore = 0;
        SetConsoleCtrlHandler(restore_before_ending, FALSE);
    }
}

ConsoleCodePage::~ConsoleCodePage() {
    if (saved_ == 0) {
        return;
    }
    SetConsoleCtrlHandler(restore_before_ending, FALSE);
    if (code_page_to_restore.exchange(0) != 0) {
        SetConsoleOutputCP(saved_);
    }
}

bool console_window_is_own() {
    // A command prompt shares its console with the program; a console made for the program
    // alone lists one process.
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

}  // namespace gironario

#else

namespace gironario {

ConsoleCodePage::ConsoleCodePage() = default;
ConsoleCodePage::~ConsoleCodePage() = default;

bool console_window_is_own() {
    return false;
}

}  // namespace gironario

#endif
