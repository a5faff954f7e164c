// The picture's header reader on arbitrary bytes: the first code of ours to
// read bytes that nobody vouches for. Whatever they hold, it reads nothing
// outside them (the sanitizers' to catch) and gives both sides or neither,
// and none for a format it does not know.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "header.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kadrimo::picture_header header = kadrimo::read_picture_header(std::span(data, size));
    if ((header.width == 0) != (header.height == 0)) std::abort();
    if (header.format == kadrimo::picture_format::unknown && header.width != 0) std::abort();
    return 0;
}
