#include "input_encoding.hpp"

namespace kadrimo {

// A console on a Japanese Windows types Shift-JIS, and pipes and files carry
// it too; the program sets no console code page that would change that.
input_encoding standard_input_encoding() { return input_encoding::shift_jis; }

}  // namespace kadrimo
