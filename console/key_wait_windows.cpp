#include <cstdlib>
#include <iosfwd>

#include "key_wait.hpp"

namespace kadrimo {

// The command interpreter's pause writes its own prompt and reads the key
// from the console itself; what it returns does not change the run's status.
void wait_for_key(std::istream& /*in*/, std::ostream& /*out*/) {
    static_cast<void>(std::system("pause"));
}

}  // namespace kadrimo
