#include <windows.h>

#include <ostream>

#include "cp932_to_console_windows.hpp"
#include "terminal_output.hpp"

namespace kadrimo {
namespace {

// A console takes text as UTF-16 whatever its code page, which is left as the
// user has it. A pipe or a file gets the program's own Shift-JIS bytes, and
// its handle fails GetConsoleMode.
bool output_is_console() {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

// A console takes all it is given or fails as a whole (a text too large for
// its heap fails), so the count it reports is not needed.
bool write_to_standard_console(std::wstring_view text) {
    DWORD written;
    return WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), text.data(),
                         static_cast<DWORD>(text.size()), &written, nullptr) != 0;
}

}  // namespace

terminal_output::terminal_output(std::ostream& out) : out_(out) {
    if (out.rdbuf() == nullptr || !output_is_console()) return;
    converter_ = make_cp932_to_console_buffer(write_to_standard_console);
    swap_.emplace(out, *converter_);
}

}  // namespace kadrimo
