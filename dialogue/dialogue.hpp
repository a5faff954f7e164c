#pragma once

#include <iosfwd>

namespace kadrimo {

// The last step of a run: hold the window until the user has pressed a key.
// `in` is the dialogue's input, whatever of it is still unread.
using key_wait = void (*)(std::istream& in, std::ostream& out);

// The key wait of a front end whose key comes from the dialogue's own input
// (a pipe, a file, node's standard input): the prompt, then one more byte of
// what remains, so such a run never hangs, and the end of the prompt's line.
void wait_for_next_byte(std::istream& in, std::ostream& out);

// Told the target's width and height as soon as the run has them (a
// preset's, or the two answers for a target typed by hand), for a front end
// that makes something of that size beside the printed results.
using target_seen = void (*)(double width, double height);

// One whole run: banner, menu, questions, results, then the key wait.
// Returns the exit status, which is 0 on every path of the dialogue.
int run_dialogue(std::istream& in, std::ostream& out, key_wait wait, target_seen seen = nullptr);

}  // namespace kadrimo
