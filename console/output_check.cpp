#include "output_check.hpp"

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include "key_wait.hpp"

namespace kadrimo {

void wait_while_output_works(std::istream& in, std::ostream& out) {
    if (out) wait_for_key(in, out);
}

output_check::output_check(std::ostream& out)
    : out_(out), watcher_(*out.rdbuf()), swap_(out, watcher_) {}

int output_check::status_after(int dialogue_status) {
    if (out_.flush()) return dialogue_status;
    // A failure whose cause the system did not tell is reported without one:
    // a wrong reason is worse than none.
    std::cerr << "kadrimo: cannot write to standard output";
    if (watcher_.cause() != 0) std::cerr << ": " << std::generic_category().message(watcher_.cause());
    std::cerr << '\n';
    return EXIT_FAILURE;
}

// errno is cleared before each call, so a cause left over from something
// else is never taken for this write's.
void output_check::watcher::note_failure() {
    if (failed_) return;
    failed_ = true;
    cause_ = errno;
}

std::streamsize output_check::watcher::xsputn(const char* bytes, std::streamsize count) {
    errno = 0;
    const std::streamsize written = target_.sputn(bytes, count);
    if (written != count) note_failure();
    return written;
}

output_check::watcher::int_type output_check::watcher::overflow(int_type next) {
    if (traits_type::eq_int_type(next, traits_type::eof())) return traits_type::not_eof(next);
    errno = 0;
    const int_type written = target_.sputc(traits_type::to_char_type(next));
    if (traits_type::eq_int_type(written, traits_type::eof())) note_failure();
    return written;
}

int output_check::watcher::sync() {
    errno = 0;
    const int result = target_.pubsync();
    if (result != 0) note_failure();
    return result;
}

}  // namespace kadrimo
