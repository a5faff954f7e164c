#pragma once

#include <cstddef>
#include <memory>
#include <streambuf>

namespace kadrimo {

// Reads up to `size` UTF-16 units of what was typed at the console into
// `text`, waiting for a line; 0 at the end of input or when reading fails.
using console_read = std::size_t (*)(wchar_t* text, std::size_t size);

// A stream buffer that reads the console through `read` and hands on what
// was typed as UTF-8, converted by the system's WideCharToMultiByte. A
// character whose two UTF-16 halves come in two reads is taken whole; one
// that is broken becomes U+FFFD. Ctrl+Z ends the input where it was typed,
// as the C runtime reads a console.
std::unique_ptr<std::streambuf> make_console_input_buffer(console_read read);

}  // namespace kadrimo
