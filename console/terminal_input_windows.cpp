#include <windows.h>

#include "console_input_windows.hpp"
#include "terminal_input.hpp"

namespace kadrimo {
namespace {

bool input_is_console() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::size_t read_standard_console(wchar_t* text, std::size_t size) {
    DWORD read;
    if (ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), text, static_cast<DWORD>(size), &read,
                     nullptr) == 0) {
        return 0;
    }
    return read;
}

}  // namespace

// A console hands over its keys as UTF-16 whatever its code page; a pipe or
// a file carries the program's own Shift-JIS, and its handle fails
// GetConsoleMode.
terminal_input::terminal_input(std::istream& in) {
    if (in.rdbuf() == nullptr || !input_is_console()) return;
    reader_ = make_console_input_buffer(read_standard_console);
    swap_.emplace(in, *reader_);
    encoding_ = input_encoding::utf8;
}

}  // namespace kadrimo
