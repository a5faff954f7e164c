#include <unistd.h>

#include <ostream>

#include "cp932_to_utf8_posix.hpp"
#include "terminal_locale_posix.hpp"
#include "terminal_output.hpp"

namespace kadrimo {

terminal_output::terminal_output(std::ostream& out) : out_(out), original_(out.rdbuf()) {
    if (original_ == nullptr || !terminal_expects_utf8(STDOUT_FILENO)) return;
    converter_ = make_cp932_to_utf8_buffer(*original_);
    if (converter_) out_.rdbuf(converter_.get());
}

}  // namespace kadrimo
