#pragma once

#include <cstdint>

#include "geometry.hpp"

namespace kadrimo {

// RGBA pictures as a canvas holds them: 4 bytes a pixel, red first, colour
// not premultiplied, rows one after another.
struct rgba_view {
    const std::uint8_t* pixels;
    std::uint32_t width;
    std::uint32_t height;
};

struct rgba_canvas {
    std::uint8_t* pixels;
    std::uint32_t width;
    std::uint32_t height;
};

// `from` drawn over the whole of `to`: resampled in linear light, each
// pixel's colour weighted by its alpha, with Catmull-Rom (sharp when
// shrinking), edges clamped; copied as it is where the sizes are the same.
// False where the resampler could not have its working memory.
bool resample(rgba_view from, rgba_canvas to);

// What the margins around a picture are filled with: nothing (transparent),
// white, black, the mean colour of the picture's own edge beside each
// margin, or the picture itself scaled to cover the whole and blurred.
enum class margin_fill : std::uint8_t { transparent, white, black, edge, blur };

// `to` made the picture with margins: `picture` resampled into `at` (whole
// pixels, within `to`), the rest filled. False where memory ran short.
bool add_margins(rgba_view picture, rgba_canvas to, picture_rect at, margin_fill fill);

}  // namespace kadrimo
