#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "geometry.hpp"
#include "header.hpp"
#include "pixels.hpp"

// The picture's reader and geometry as picture.js calls them: numbers in,
// and numbers out through one small array of the module's memory, read
// before the next call (the page calls from one thread, one at a time).

namespace {

// How many of a file's first bytes the page hands the header reader: enough
// for every format's size in the files cameras and editors write (a JPEG's
// EXIF block, thumbnail and colour profile come before its frame header).
constexpr std::size_t header_bytes = 1 << 20;

double answer[4] = {};

double* answered(double a, double b = 0, double c = 0, double d = 0) {
    answer[0] = a;
    answer[1] = b;
    answer[2] = c;
    answer[3] = d;
    return answer;
}

kadrimo::picture_frame frame(int axis, double size, double offset) {
    return {axis == 0 ? kadrimo::picture_axis::x : kadrimo::picture_axis::y, kadrimo::frame_place::inside, size,
            offset};
}

double* rect_answer(const kadrimo::picture_rect& rect) { return answered(rect.x, rect.y, rect.width, rect.height); }

// Pixels held between the page's calls, in memory that may not be had: a
// picture of 50 M pixels takes 200 MB. Allocated with malloc, which answers
// null, where new would end the module.
struct pixel_buffer {
    std::uint8_t* pixels = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    std::uint8_t* made(std::uint32_t new_width, std::uint32_t new_height) {
        free();
        // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,hicpp-no-malloc): see above
        pixels = static_cast<std::uint8_t*>(std::malloc(std::size_t{new_width} * new_height * 4));
        if (pixels != nullptr) {
            width = new_width;
            height = new_height;
        }
        return pixels;
    }

    void free() {
        std::free(pixels);  // NOLINT(cppcoreguidelines-no-malloc,hicpp-no-malloc)
        pixels = nullptr;
        width = height = 0;
    }
};

struct {
    pixel_buffer source;
    pixel_buffer made;
} buffers;

}  // namespace

extern "C" {

// Where the page puts a file's first bytes for picture_header, and how
// many it takes.
EMSCRIPTEN_KEEPALIVE std::uint8_t* picture_header_buffer() {
    static std::uint8_t bytes[header_bytes];
    return bytes;
}

EMSCRIPTEN_KEEPALIVE std::uint32_t picture_header_capacity() { return header_bytes; }

// The format (0 where not known), width and height of the first `count`
// bytes in the buffer, and whether such a picture is too large to take.
EMSCRIPTEN_KEEPALIVE double* picture_header(std::uint32_t count) {
    const kadrimo::picture_header header = kadrimo::read_picture_header(
        std::span(picture_header_buffer(), std::min<std::size_t>(count, header_bytes)));
    return answered(static_cast<double>(header.format), header.width, header.height,
                    kadrimo::too_large(header.width, header.height) ? 1 : 0);
}

// Whether a decoded picture of this size is too large to keep.
EMSCRIPTEN_KEEPALIVE bool picture_too_large(double width, double height) {
    return kadrimo::too_large(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height));
}

// Axis (0 x, 1 y), place (none, same, inside, outside), size and offset.
EMSCRIPTEN_KEEPALIVE double* picture_frame(int which, double printed, double width, double height) {
    const kadrimo::picture_frame made = kadrimo::frame_of(which, printed, width, height);
    return answered(made.axis == kadrimo::picture_axis::x ? 0 : 1, static_cast<double>(made.place), made.size,
                    made.offset);
}

EMSCRIPTEN_KEEPALIVE double picture_moved_cut(int axis, double size, double offset, double width, double height,
                                              double to) {
    return kadrimo::moved_cut(frame(axis, size, offset), width, height, to);
}

EMSCRIPTEN_KEEPALIVE double* picture_cut(int axis, double size, double offset, double width, double height) {
    return rect_answer(kadrimo::cut_rect(frame(axis, size, offset), width, height));
}

// The whole with its margins (width and height), and where the picture stands (x and y).
EMSCRIPTEN_KEEPALIVE double* picture_margins(int axis, double size, double offset, double width, double height) {
    const kadrimo::picture_frame margins = frame(axis, size, offset);
    const kadrimo::picture_rect whole = kadrimo::margins_rect(margins, width, height);
    const kadrimo::picture_rect placed = kadrimo::placed_picture(margins, width, height);
    return answered(whole.width, whole.height, placed.x, placed.y);
}

// The picture's scaled rectangle, as picture_cut's.
EMSCRIPTEN_KEEPALIVE double* picture_scaled(double x, double y, double width, double height, double from_width,
                                            double from_height, double to_width, double to_height) {
    return rect_answer(kadrimo::scaled_rect({x, y, width, height}, from_width, from_height, to_width, to_height));
}

// The target's width and height in pixels, or 0 and 0 where no picture is
// saved at it.
EMSCRIPTEN_KEEPALIVE double* picture_target(double width, double height) {
    const std::optional<kadrimo::target_pixels> size = kadrimo::target_size(width, height);
    return size ? answered(size->width, size->height) : answered(0, 0);
}

// Whether one canvas may hold a picture of this size.
EMSCRIPTEN_KEEPALIVE bool picture_fits(double width, double height) {
    return width * height <= kadrimo::largest_piece;
}

// Room for a picture's pixels that the page copies in (RGBA, rows one after
// another), or 0 where there is not the memory.
EMSCRIPTEN_KEEPALIVE std::uint8_t* picture_source(std::uint32_t width, std::uint32_t height) {
    return buffers.source.made(width, height);
}

// The picture to save, made from the source: the whole of it resampled
// (fill 255: the cut), or put at x, y, width, height with margins filled
// (0 transparent, 1 white, 2 black, 3 the edge's colour, 4 blurred). Its
// pixels, or 0 where memory ran short.
EMSCRIPTEN_KEEPALIVE std::uint8_t* picture_made(int fill, std::uint32_t to_width, std::uint32_t to_height,
                                                double x, double y, double width, double height) {
    std::uint8_t* made = buffers.made.made(to_width, to_height);
    if (made == nullptr) return nullptr;
    const kadrimo::rgba_view from{buffers.source.pixels, buffers.source.width, buffers.source.height};
    const kadrimo::rgba_canvas to{made, to_width, to_height};
    const bool done = fill == 255 ? kadrimo::resample(from, to)
                                  : kadrimo::add_margins(from, to, {x, y, width, height},
                                                         static_cast<kadrimo::margin_fill>(fill));
    return done ? made : nullptr;
}

// Both are let go once a picture is saved, or a preview painted.
EMSCRIPTEN_KEEPALIVE void picture_free() {
    buffers.source.free();
    buffers.made.free();
}

}  // extern "C"
