#include <ostream>

#include "terminal_output.hpp"

namespace kadrimo {

// The console shows the program's Shift-JIS as it is; nothing is converted
// and no code page is set.
terminal_output::terminal_output(std::ostream& out) : out_(out), original_(out.rdbuf()) {}

}  // namespace kadrimo
