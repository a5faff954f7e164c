#pragma once

#include <memory>
#include <ostream>
#include <streambuf>

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
    std::streambuf* original_;
    // Set by each platform's constructor: the converting buffer, or null.
    std::unique_ptr<std::streambuf> converter_;
};

inline terminal_output::~terminal_output() {
    if (!converter_) return;
    out_.flush();
    // Giving the buffer back clears the stream's state; a failure stays known.
    const std::ios_base::iostate state = out_.rdstate();
    out_.rdbuf(original_);
    out_.setstate(state);
}

}  // namespace kadrimo
