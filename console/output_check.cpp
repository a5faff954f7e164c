#include "output_check.hpp"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include "key_wait.hpp"

namespace kadrimo {

void wait_while_output_works(std::istream& in, std::ostream& out) {
    if (out) wait_for_key(in, out);
}

int status_after_output(std::ostream& out, int dialogue_status) {
    if (out.flush()) return dialogue_status;
    // errno still tells why the write failed, unless a read of standard input
    // has failed since and replaced it; a wrong reason is worse than none.
    const int cause = std::ferror(stdin) != 0 ? 0 : errno;
    std::cerr << "kadrimo: cannot write to standard output";
    if (cause != 0) std::cerr << ": " << std::generic_category().message(cause);
    std::cerr << '\n';
    return EXIT_FAILURE;
}

}  // namespace kadrimo
