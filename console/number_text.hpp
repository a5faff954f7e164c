#pragma once

#include <string>

namespace kadrimo {

// A result as the dialogue prints it: general notation with six significant
// digits, the stream's default, e.g. "1600", "896.446", "1.2e+300", "-0".
// Infinities print as "inf" and "-inf", not-a-number as "nan" or, with its
// sign bit set, "-nan".
std::string number_text(double value);

}  // namespace kadrimo
