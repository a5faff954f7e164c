#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>

#include "buffer_swap.hpp"

namespace kadrimo {

// For as long as it lives, makes the Shift-JIS that the program writes to
// `out` readable where the reader expects something else: on a POSIX
// terminal whose locale says UTF-8, the bytes reach the screen as UTF-8; on a
// Windows console, as UTF-16, whatever its code page. Anywhere else (a pipe,
// a file, another terminal encoding) `out` is left alone and nothing is
// asked of the locale or the converter.
//
// Only the character type is taken from the user's locale; the C++ global
// locale stays classic, so numbers read and print the same everywhere.
// On leaving, what is pending is flushed and `out` gets its own buffer back.
class terminal_output {
public:
    explicit terminal_output(std::ostream& out);
    ~terminal_output();

    terminal_output(const terminal_output&) = delete;
    terminal_output& operator=(const terminal_output&) = delete;

private:
    std::ostream& out_;
    // Set by each platform's constructor: the converting buffer and the swap
    // that puts it in front of `out`, or neither.
    std::unique_ptr<std::streambuf> converter_;
    std::optional<buffer_swap> swap_;
};

inline terminal_output::~terminal_output() {
    if (converter_) out_.flush();
}

}  // namespace kadrimo
