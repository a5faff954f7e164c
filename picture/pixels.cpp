#include "pixels.hpp"

#include <stb_image_resize.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace kadrimo {
namespace {

constexpr std::size_t channels = 4;
constexpr int alpha = 3;
constexpr double full = 255;  // a channel's top level
constexpr std::uint8_t opaque = 255;
// The sRGB curve: a straight line near black, a power above its knee.
constexpr double srgb_knee = 0.04045;
constexpr double linear_knee = 0.0031308;
constexpr double srgb_slope = 12.92;
constexpr double srgb_offset = 0.055;
constexpr double srgb_power = 2.4;

std::size_t stride(std::uint32_t width) { return std::size_t{width} * channels; }

int as_int(std::uint32_t value) { return static_cast<int>(value); }

// The part of `to` that `at` covers, as a canvas of its own rows.
rgba_canvas part(rgba_canvas to, std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height) {
    return {to.pixels + (std::size_t{y} * to.width + x) * channels, width, height};
}

// Whether every pixel is opaque, as a photo's are.
bool opaque_throughout(rgba_view picture) {
    const std::size_t end = stride(picture.width) * picture.height;
    for (std::size_t at = alpha; at < end; at += channels) {
        if (picture.pixels[at] != opaque) return false;
    }
    return true;
}

bool resample_into(rgba_view from, rgba_canvas to, std::size_t to_stride, stbir_filter filter,
                   const std::array<float, 4>& region) {
    // An opaque picture's colour is its colour times its alpha already: told
    // so, the resampler leaves out weighting each pixel by its alpha and
    // dividing it out again, a fifth of its time, for the same result.
    const int flags = opaque_throughout(from) ? STBIR_FLAG_ALPHA_PREMULTIPLIED : 0;
    return stbir_resize_region(from.pixels, as_int(from.width), as_int(from.height), static_cast<int>(stride(from.width)),
                               to.pixels, as_int(to.width), as_int(to.height), static_cast<int>(to_stride),
                               STBIR_TYPE_UINT8, channels, alpha, flags, STBIR_EDGE_CLAMP, STBIR_EDGE_CLAMP, filter,
                               filter, STBIR_COLORSPACE_SRGB, nullptr, region[0], region[1], region[2],
                               region[3]) == 1;
}

// `from` over all of `to`, whose rows are `to_stride` bytes apart.
bool draw(rgba_view from, rgba_canvas to, std::size_t to_stride) {
    if (from.width == to.width && from.height == to.height) {
        for (std::uint32_t row = 0; row < to.height; ++row) {
            std::memcpy(to.pixels + row * to_stride, from.pixels + row * stride(from.width), stride(from.width));
        }
        return true;
    }
    return resample_into(from, to, to_stride, STBIR_FILTER_CATMULLROM, {0, 0, 1, 1});
}

using colour = std::array<std::uint8_t, channels>;

void fill(rgba_canvas to, std::size_t to_stride, colour with) {
    for (std::uint32_t row = 0; row < to.height; ++row) {
        std::uint8_t* pixel = to.pixels + row * to_stride;
        for (std::uint32_t column = 0; column < to.width; ++column, pixel += channels) {
            std::copy(with.begin(), with.end(), pixel);
        }
    }
}

double to_linear(std::uint8_t value) {
    const double v = value / full;
    return v <= srgb_knee ? v / srgb_slope : std::pow((v + srgb_offset) / (1 + srgb_offset), srgb_power);
}

std::uint8_t from_linear(double linear) {
    const double v = linear <= linear_knee ? linear * srgb_slope
                                           : (1 + srgb_offset) * std::pow(linear, 1 / srgb_power) - srgb_offset;
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * full));
}

// The mean colour of `count` pixels from `first`, `step` bytes apart: in
// linear light, each weighted by its alpha; opaque, so that the margins it
// fills are. Black where every pixel is transparent.
colour mean(const std::uint8_t* first, std::uint32_t count, std::size_t step) {
    std::array<double, 3> sum{};
    double weight = 0;
    for (std::uint32_t i = 0; i < count; ++i, first += step) {
        const double opacity = first[alpha] / full;
        for (std::size_t c = 0; c < sum.size(); ++c) sum.at(c) += to_linear(first[c]) * opacity;
        weight += opacity;
    }
    if (weight == 0) return {0, 0, 0, opaque};
    return {from_linear(sum[0] / weight), from_linear(sum[1] / weight), from_linear(sum[2] / weight), opaque};
}

// Each margin the colour of the picture's edge beside it.
void fill_with_edges(rgba_view picture, rgba_canvas to, std::uint32_t x, std::uint32_t y, std::uint32_t width,
                     std::uint32_t height) {
    const std::size_t row = stride(picture.width);
    const std::uint8_t* last_row = picture.pixels + (picture.height - 1) * row;
    const std::uint8_t* last_column = picture.pixels + (picture.width - 1) * channels;
    const std::size_t to_stride = stride(to.width);
    fill(part(to, 0, 0, to.width, y), to_stride, mean(picture.pixels, picture.width, channels));
    fill(part(to, 0, y + height, to.width, to.height - y - height), to_stride, mean(last_row, picture.width, channels));
    fill(part(to, 0, y, x, height), to_stride, mean(picture.pixels, picture.height, row));
    fill(part(to, x + width, y, to.width - x - width, height), to_stride, mean(last_column, picture.height, row));
}

// The picture scaled to cover all of `to`, centred, and blurred: shrunk to
// some 24 pixels across its longer side, then grown back with a smooth
// filter (the cubic B-spline), its middle part drawn over `to`.
bool fill_with_blur(rgba_view picture, rgba_canvas to) {
    constexpr double across = 24;
    const double shrink = std::max(1.0, std::max(picture.width, picture.height) / across);
    const auto small_side = [&](std::uint32_t side) {
        return static_cast<std::uint32_t>(std::max(1.0, std::round(side / shrink)));
    };
    std::vector<std::uint8_t> small(stride(small_side(picture.width)) * small_side(picture.height));
    const rgba_canvas shrunk{small.data(), small_side(picture.width), small_side(picture.height)};
    if (!resample_into(picture, shrunk, stride(shrunk.width), STBIR_FILTER_BOX, {0, 0, 1, 1})) return false;
    // The part of the covering picture that `to` shows, in the small one's
    // coordinates from 0 to 1.
    const double cover = std::max(static_cast<double>(to.width) / picture.width,
                                  static_cast<double>(to.height) / picture.height);
    const auto seen = [](double shown, double whole) { return static_cast<float>((1 - shown / whole) / 2); };
    const float left = seen(to.width, picture.width * cover);
    const float top = seen(to.height, picture.height * cover);
    return resample_into({small.data(), shrunk.width, shrunk.height}, to, stride(to.width),
                         STBIR_FILTER_CUBICBSPLINE, {left, top, 1 - left, 1 - top});
}

}  // namespace

bool resample(rgba_view from, rgba_canvas to) { return draw(from, to, stride(to.width)); }

bool add_margins(rgba_view picture, rgba_canvas to, picture_rect at, margin_fill fill_with) {
    const auto x = static_cast<std::uint32_t>(at.x);
    const auto y = static_cast<std::uint32_t>(at.y);
    const auto width = static_cast<std::uint32_t>(at.width);
    const auto height = static_cast<std::uint32_t>(at.height);
    const std::size_t to_stride = stride(to.width);
    switch (fill_with) {
        case margin_fill::transparent:
            fill(to, to_stride, {0, 0, 0, 0});
            break;
        case margin_fill::white:
            fill(to, to_stride, {opaque, opaque, opaque, opaque});
            break;
        case margin_fill::black:
            fill(to, to_stride, {0, 0, 0, opaque});
            break;
        case margin_fill::edge:
            fill_with_edges(picture, to, x, y, width, height);
            break;
        case margin_fill::blur:
            if (!fill_with_blur(picture, to)) return false;
            break;
    }
    if (width == 0 || height == 0) return true;  // margins so wide that the picture has no pixel
    return draw(picture, part(to, x, y, width, height), to_stride);
}

}  // namespace kadrimo
