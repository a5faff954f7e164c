#pragma once

#include <string>

namespace kadrimo {

// A result as the dialogue prints it: general notation with six significant
// digits, as printf's "%g" writes it, e.g. "1600", "896.446", "1.2e+300",
// "-0". A value halfway between two six-digit numbers goes to the even one.
// Infinities print as "inf" and "-inf", and every not-a-number as "nan":
// its sign bit is the hardware's choice and tells the user nothing.
std::string number_text(double value);

}  // namespace kadrimo
