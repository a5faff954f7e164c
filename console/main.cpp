#include <iostream>

#include "dialogue.hpp"
#include "full_width_input.hpp"
#include "output_check.hpp"
#include "terminal_input.hpp"
#include "terminal_output.hpp"

namespace {

// The terminal's converter is flushed and taken down before the output is
// judged, so a failure in its last bytes still counts.
int converse() {
    const kadrimo::terminal_output terminal(std::cout);
    const kadrimo::terminal_input keys(std::cin);
    const kadrimo::full_width_input full_width_read_as_ascii(std::cin, keys.encoding());
    return kadrimo::run_dialogue(std::cin, std::cout, kadrimo::wait_while_output_works);
}

}  // namespace

int main() {
    kadrimo::output_check output(std::cout);
    return output.status_after(converse());
}
