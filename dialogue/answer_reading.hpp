#pragma once

#include <istream>

namespace kadrimo {

// The longest answer the dialogue reads; one that runs past it is
// unreadable, so that an endless number cannot take all memory.
inline constexpr std::streamsize longest_answer = 4096;

// One answer from `in`, read the same way by every build, whatever its C++
// library: white space is skipped, then the longest run of characters that
// can still continue a number is taken, and everything after it stays in the
// stream for the next read. An int is a sign and digits; a double is a sign,
// digits with at most one decimal point, and an exponent (e or E, a sign,
// digits) after at least one digit. The characters taken are then converted
// to the nearest value of the type.
//
// The answer is unreadable, `in` fails and false is returned when no number
// starts there, when what was taken is not a whole number ("-", ".", "1e"),
// when the value lies outside the type's range (a double too small for the
// range is not outside it: it reads as the nearest double, a subnormal or a
// zero), or when the answer runs past longest_answer characters; nothing
// beyond the character after the longest is read then.
bool read_answer(std::istream& in, int& value);
bool read_answer(std::istream& in, double& value);

}  // namespace kadrimo
