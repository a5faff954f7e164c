#pragma once

namespace kadrimo {

// How the bytes typed at standard input spell characters beyond ASCII.
enum class input_encoding { shift_jis, utf8 };

// The encoding of standard input: Shift-JIS, the encoding of a Japanese
// console, of a pipe and of a file, unless standard input is a terminal that
// expects UTF-8. Each platform has its own definition, picked by the build.
input_encoding standard_input_encoding();

}  // namespace kadrimo
