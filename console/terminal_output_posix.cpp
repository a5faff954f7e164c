#include <fcntl.h>
#include <unistd.h>

#include <ostream>

#include "cp932_to_utf8_posix.hpp"
#include "terminal_locale_posix.hpp"
#include "terminal_output.hpp"

namespace kadrimo {

terminal_output::terminal_output(std::ostream& out) : out_(out) {
    // As for standard input: a full pipe left non-blocking is waited on,
    // not taken for a failed write.
    fcntl(STDOUT_FILENO, F_SETFL, fcntl(STDOUT_FILENO, F_GETFL) & ~O_NONBLOCK);
    if (out.rdbuf() == nullptr || !terminal_expects_utf8(STDOUT_FILENO)) return;
    converter_ = make_cp932_to_utf8_buffer(*out.rdbuf());
    if (converter_) swap_.emplace(out, *converter_);
}

}  // namespace kadrimo
