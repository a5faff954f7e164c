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

// One whole run: banner, menu, questions, results, then the key wait.
// Returns the exit status, which is 0 on every path of the dialogue.
int run_dialogue(std::istream& in, std::ostream& out, key_wait wait);

}  // namespace kadrimo
