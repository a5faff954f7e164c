#include "geometry.hpp"

#include <algorithm>
#include <cmath>

namespace kadrimo {
namespace {

constexpr double largest_whole = 9007199254740992.0;  // 2^53

double side_along(picture_axis axis, double width, double height) {
    return axis == picture_axis::x ? width : height;
}

}  // namespace

std::optional<double> whole_pixels(double printed) {
    if (!(printed > 0) || printed > largest_whole) return std::nullopt;  // NaN too
    return std::max(1.0, std::round(printed));
}

picture_frame frame_of(int which, double printed, double width, double height) {
    picture_frame frame;
    frame.axis = which == 0 ? picture_axis::y : picture_axis::x;
    const std::optional<double> size = whole_pixels(printed);
    if (!size) return frame;
    const double side = side_along(frame.axis, width, height);
    frame.size = *size;
    if (*size == side) {
        frame.place = frame_place::same;
    } else {
        frame.place = *size < side ? frame_place::inside : frame_place::outside;
        frame.offset = std::floor(std::abs(side - *size) / 2);
    }
    return frame;
}

double moved_cut(const picture_frame& cut, double width, double height, double offset) {
    const double room = side_along(cut.axis, width, height) - cut.size;
    if (std::isnan(offset)) return cut.offset;
    return std::clamp(std::round(offset), 0.0, room);
}

picture_rect cut_rect(const picture_frame& cut, double width, double height) {
    if (cut.axis == picture_axis::x) return {cut.offset, 0, cut.size, height};
    return {0, cut.offset, width, cut.size};
}

picture_rect margins_rect(const picture_frame& margins, double width, double height) {
    if (margins.axis == picture_axis::x) return {0, 0, margins.size, height};
    return {0, 0, width, margins.size};
}

picture_rect placed_picture(const picture_frame& margins, double width, double height) {
    if (margins.axis == picture_axis::x) return {margins.offset, 0, width, height};
    return {0, margins.offset, width, height};
}

picture_rect scaled_rect(const picture_rect& rect, double from_width, double from_height, double to_width,
                         double to_height) {
    const auto edge = [](double at, double from, double to) { return std::round(at * to / from); };
    const double left = edge(rect.x, from_width, to_width);
    const double top = edge(rect.y, from_height, to_height);
    return {left, top, edge(rect.x + rect.width, from_width, to_width) - left,
            edge(rect.y + rect.height, from_height, to_height) - top};
}

std::optional<target_pixels> target_size(double width, double height) {
    const double whole_width = std::round(width);
    const double whole_height = std::round(height);
    // Written so that NaN fails too.
    if (!(whole_width >= 1 && whole_height >= 1 && whole_width * whole_height <= largest_piece)) {
        return std::nullopt;
    }
    return target_pixels{whole_width, whole_height};
}

}  // namespace kadrimo
