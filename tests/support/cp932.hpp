#pragma once

#include <string>
#include <string_view>

namespace kadrimo::testing {

// Converts UTF-8 to Shift-JIS (code page 932) with the platform's own
// converter, so expected bytes never come from the program's constants.
std::string cp932(std::string_view utf8);

}  // namespace kadrimo::testing
