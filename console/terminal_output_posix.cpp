#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <ostream>

#include "cp932_to_utf8_posix.hpp"
#include "terminal_output.hpp"

namespace kadrimo {
namespace {

// Only a terminal has a reader whose encoding the locale tells; a pipe or a
// file gets the program's own bytes, and pays nothing for this check.
bool terminal_expects_utf8() {
    if (isatty(STDOUT_FILENO) == 0) return false;
    if (std::setlocale(LC_CTYPE, "") == nullptr) return false;
    return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
}

}  // namespace

terminal_output::terminal_output(std::ostream& out) : out_(out), original_(out.rdbuf()) {
    if (original_ == nullptr || !terminal_expects_utf8()) return;
    converter_ = make_cp932_to_utf8_buffer(*original_);
    if (converter_) out_.rdbuf(converter_.get());
}

}  // namespace kadrimo
