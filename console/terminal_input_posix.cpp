#include <fcntl.h>
#include <unistd.h>

#include "terminal_input.hpp"
#include "terminal_locale_posix.hpp"

namespace kadrimo {

// A terminal's keys arrive in the encoding its locale names; anything else
// (a pipe, a file) is read as the program's own Shift-JIS. The bytes need no
// other reader.
terminal_input::terminal_input(std::istream& /*in*/)
    : encoding_(terminal_expects_utf8(STDIN_FILENO) ? input_encoding::utf8
                                                     : input_encoding::shift_jis) {
    // Another program on the same pipe or terminal may have left it
    // non-blocking; its "nothing yet" would read as the end of the answers.
    // Like the shell, the program reads it blocking.
    fcntl(STDIN_FILENO, F_SETFL, fcntl(STDIN_FILENO, F_GETFL) & ~O_NONBLOCK);
}

}  // namespace kadrimo
