#pragma once

#include <cstddef>
#include <iosfwd>
#include <sstream>
#include <streambuf>

#include "input_encoding.hpp"

namespace kadrimo {

// What the JavaScript around the module does for it. Each host (the page,
// the command-line form under node) has its own definitions, picked by the
// build.

// Copies up to `capacity` bytes of what the user has typed into `bytes` and
// returns how many; 0 at the end of the input. On the page this waits until
// an answer is typed.
int host_read(char* bytes, int capacity);

// Shows or writes `count` bytes of Shift-JIS; false if they could not all be
// written.
bool host_write(const char* bytes, int count);

// How the host spells what is typed.
input_encoding host_input_encoding();

// Whether a new run follows the key wait: on the page, yes (a page has no
// window to close); under node, no.
bool host_runs_again();

// Holds the run open until the user presses a key, as a console does.
void host_wait_for_key(std::istream& in, std::ostream& out);

// The run's target in pixels: on the page, the size a picture may be saved
// at; under node, nothing.
void host_target(double width, double height);

// The dialogue's input, read from the host in whatever pieces it hands over.
class host_input_buffer final : public std::streambuf {
protected:
    int_type underflow() override;

private:
    static constexpr std::size_t capacity = 4096;
    char bytes_[capacity] = {};
};

// The dialogue's output, passed on to the host whole at each flush (every
// prompt is flushed before an answer is read, and the key wait ends on one).
class host_output_buffer final : public std::stringbuf {
protected:
    int sync() override;
};

}  // namespace kadrimo
