#pragma once

#include <limits>
#include <sstream>

namespace kadrimo::testing {

// A stream buffer to write to that takes no bytes at all, like a closed
// terminal, or refuses only its first few writes.
struct refusing_target : std::stringbuf {
    int refusals = std::numeric_limits<int>::max();
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        return count > 0 && refusals-- > 0 ? 0 : std::stringbuf::xsputn(bytes, count);
    }
};

}  // namespace kadrimo::testing
