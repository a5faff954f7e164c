#include <unistd.h>

#include <ostream>

#include "cp932_to_utf8_posix.hpp"
#include "terminal_locale_posix.hpp"
#include "terminal_output.hpp"

namespace kadrimo {

terminal_output::terminal_output(std::ostream& out) : out_(out) {
    if (out.rdbuf() == nullptr || !terminal_expects_utf8(STDOUT_FILENO)) return;
    converter_ = make_cp932_to_utf8_buffer(*out.rdbuf());
    if (converter_) swap_.emplace(out, *converter_);
}

}  // namespace kadrimo
