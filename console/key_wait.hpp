#pragma once

#include <iosfwd>

namespace kadrimo {

// Holds the run open until the user presses a key. Each platform has its own
// definition, picked by the build.
void wait_for_key(std::istream& in, std::ostream& out);

}  // namespace kadrimo
