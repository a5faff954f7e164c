#include "number_text.hpp"

#include <charconv>

namespace kadrimo {

// The stream would hand the formatting to the C library's printf, and the
// C libraries disagree: Windows' drops the sign of a not-a-number, which
// glibc prints. The C++ library's own conversion is the same code in every
// build and, for finite values, gives exactly printf's "%g" digits.
std::string number_text(double value) {
    // "-1.23457e-308" and the like: sign, six digits, point, exponent.
    constexpr std::size_t longest = 32;
    char text[longest];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return {text, result.ptr};
}

}  // namespace kadrimo
