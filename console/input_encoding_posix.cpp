#include <unistd.h>

#include "input_encoding.hpp"
#include "terminal_locale_posix.hpp"

namespace kadrimo {

// A terminal's keys arrive in the encoding its locale names; anything else
// (a pipe, a file) is read as the program's own Shift-JIS.
input_encoding standard_input_encoding() {
    return terminal_expects_utf8(STDIN_FILENO) ? input_encoding::utf8 : input_encoding::shift_jis;
}

}  // namespace kadrimo
