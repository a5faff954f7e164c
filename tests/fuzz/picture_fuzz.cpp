// The user's picture on arbitrary bytes. Its header reader is the first code
// of ours to read bytes that nobody vouches for: whatever they hold, it reads
// nothing outside them (the sanitizers' to catch) and gives both sides or
// neither, and none for a format it does not know. The same bytes, as a
// small picture and a printed result, are then given their margins at a
// size of their own: the picture's place always lies within the whole, and
// the pixels are written within it.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "geometry.hpp"
#include "header.hpp"
#include "pixels.hpp"

namespace {

void check_header(std::span<const std::uint8_t> bytes) {
    const kadrimo::picture_header header = kadrimo::read_picture_header(bytes);
    if ((header.width == 0) != (header.height == 0)) std::abort();
    if (header.format == kadrimo::picture_format::unknown && header.width != 0) std::abort();
}

// Bytes 0 to 6: the picture's sides (1 to 32), the whole's (1 to 64), the
// fill, which result, and the result printed (1 to 256); the rest, cycled,
// its pixels.
void check_margins(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t sizes = 7;
    if (bytes.size() <= sizes) return;
    const std::uint32_t width = 1U + bytes[0] % 32U;
    const std::uint32_t height = 1U + bytes[1] % 32U;
    const std::uint32_t to_width = 1U + bytes[2] % 64U;
    const std::uint32_t to_height = 1U + bytes[3] % 64U;
    const auto fill = static_cast<kadrimo::margin_fill>(bytes[4] % 5U);
    const kadrimo::picture_frame frame = kadrimo::frame_of(bytes[5] % 2, 1.0 + bytes[6], width, height);
    if (frame.place != kadrimo::frame_place::outside) return;
    const kadrimo::picture_rect whole = kadrimo::margins_rect(frame, width, height);
    const kadrimo::picture_rect at = kadrimo::scaled_rect(kadrimo::placed_picture(frame, width, height),
                                                          whole.width, whole.height, to_width, to_height);
    if (at.x < 0 || at.y < 0 || at.width < 0 || at.height < 0 || at.x + at.width > to_width ||
        at.y + at.height > to_height) {
        std::abort();
    }
    std::vector<std::uint8_t> picture(std::size_t{width} * height * 4);
    const std::span<const std::uint8_t> pixels = bytes.subspan(sizes);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = pixels[i % pixels.size()];
    std::vector<std::uint8_t> to(std::size_t{to_width} * to_height * 4);
    if (!kadrimo::add_margins({picture.data(), width, height}, {to.data(), to_width, to_height}, at, fill)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    check_header(bytes);
    check_margins(bytes);
    return 0;
}
