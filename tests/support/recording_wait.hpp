#pragma once

#include <istream>
#include <iterator>
#include <ostream>
#include <string>

namespace kadrimo::testing {

// Stands in for the key wait in whole runs: marks where it happened and shows
// what input was still unread at that moment.
inline void recording_wait(std::istream& in, std::ostream& out) {
    const std::string rest{std::istreambuf_iterator<char>(in.rdbuf()), {}};
    out << "[wait:" << rest << "]";
}

}  // namespace kadrimo::testing
