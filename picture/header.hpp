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

// How many of a file's first bytes the reader is given: enough for every
// format's size in the files cameras and editors write (a JPEG's EXIF block,
// thumbnail and colour profile come before its frame header).
inline constexpr std::size_t picture_header_bytes = 1 << 20;

// Reads nothing outside `bytes`, whatever they hold: they come from any
// file a user gives the page.
picture_header read_picture_header(std::span<const std::uint8_t> bytes);

}  // namespace kadrimo
