#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <streambuf>

#include "buffer_swap.hpp"
#include "input_encoding.hpp"

namespace kadrimo {

// For as long as it lives, makes what is typed at standard input reach `in`
// as the characters the user typed, and says how they are spelled. On a
// POSIX terminal the keys arrive in the encoding of its locale. A Windows
// console is read as UTF-16 and handed on as UTF-8, whatever its code page
// (932, 437 or 65001), so a full-width digit stays one. A pipe or a file is
// read as it is: the program's own Shift-JIS. On leaving, `in` gets its own
// buffer back.
class terminal_input {
public:
    explicit terminal_input(std::istream& in);

    [[nodiscard]] input_encoding encoding() const { return encoding_; }

private:
    // Set by each platform's constructor: the reading buffer and the swap
    // that puts it in front of `in`, or neither.
    std::unique_ptr<std::streambuf> reader_;
    std::optional<buffer_swap> swap_;
    input_encoding encoding_ = input_encoding::shift_jis;
};

}  // namespace kadrimo
