#pragma once

#include <iosfwd>

namespace kadrimo {

// The key wait, but only while the output still reaches the user: once a
// write has failed, its prompt could not be seen and nobody would know to
// press the key.
void wait_while_output_works(std::istream& in, std::ostream& out);

// The exit status of the run: the dialogue's own, or a failure with one line
// on standard error when the output could not all be written, so that a lost
// transcript is never reported as success.
int status_after_output(std::ostream& out, int dialogue_status);

}  // namespace kadrimo
