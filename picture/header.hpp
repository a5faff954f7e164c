#pragma once

#include <cstdint>
#include <span>

namespace kadrimo {

enum class picture_format : std::uint8_t { unknown, png, jpeg, webp, gif, bmp, avif, heic };

// A picture's size as the user will see it (a JPEG's EXIF orientation and an
// AVIF's or HEIC's rotation applied), read from the first bytes of its file
// before anything decodes it. Width and height are both 0 where the size is
// not among the bytes given, or the format is not known.
struct picture_header {
    picture_format format = picture_format::unknown;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The most pixels a picture may have to be taken: every photo a phone takes
// (a 48 MP one is 8064 x 6048), decoded at 4 bytes a pixel into no more than
// 200 MB, which a phone's browser still holds. A larger one is refused
// before it is decoded.
inline constexpr std::uint64_t largest_picture = 50'000'000;

// Whether a picture of this size is refused; one whose size is not known
// is not, until it is decoded and known.
bool too_large(std::uint64_t width, std::uint64_t height);

// Reads nothing outside `bytes`, whatever they hold: they come from any
// file a user gives the page.
picture_header read_picture_header(std::span<const std::uint8_t> bytes);

}  // namespace kadrimo
