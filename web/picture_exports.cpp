#include <emscripten.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "geometry.hpp"
#include "header.hpp"

// The picture's reader and geometry as picture.js calls them: numbers in,
// and numbers out through one small array of the module's memory, read
// before the next call (the page calls from one thread, one at a time).

namespace {

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

}  // namespace

extern "C" {

// Where the page puts a file's first bytes for picture_header, and how
// many it takes.
EMSCRIPTEN_KEEPALIVE std::uint8_t* picture_header_buffer() {
    static std::uint8_t bytes[kadrimo::picture_header_bytes];
    return bytes;
}

EMSCRIPTEN_KEEPALIVE std::uint32_t picture_header_capacity() { return kadrimo::picture_header_bytes; }

// The format (0 where not known), width and height of the first `count`
// bytes in the buffer, and whether such a picture is too large to take.
EMSCRIPTEN_KEEPALIVE double* picture_header(std::uint32_t count) {
    const kadrimo::picture_header header = kadrimo::read_picture_header(
        std::span(picture_header_buffer(), std::min<std::size_t>(count, kadrimo::picture_header_bytes)));
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

}  // extern "C"
