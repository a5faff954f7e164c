#include <cstdlib>
#include <istream>
#include <ostream>

#include "dialogue.hpp"
#include "full_width_input.hpp"
#include "host.hpp"

namespace {

// Each run starts from nothing: what was typed ahead in the last one, or the
// key that ended it, is never read as an answer of the next.
int one_run() {
    kadrimo::host_input_buffer input;
    kadrimo::host_output_buffer output;
    std::istream in(&input);
    std::ostream out(&output);
    const kadrimo::full_width_input full_width_read_as_ascii(in, kadrimo::host_input_encoding());
    // Both hosts' key waits end on a flush, so whatever could not be written
    // shows in the stream's state here.
    const int status = kadrimo::run_dialogue(in, out, kadrimo::host_wait_for_key, kadrimo::host_target);
    return out ? status : EXIT_FAILURE;
}

}  // namespace

int main() {
    int status = one_run();
    while (kadrimo::host_runs_again()) status = one_run();
    return status;
}
