#pragma once

#include <cstdint>
#include <optional>

namespace kadrimo {

// Where the results land on the user's picture. Sizes and places are whole
// pixels held in doubles, as the page's numbers are.

// A printed result in whole pixels: the nearest (a half up), never below 1;
// none where it is no finite positive number, or beyond 2^53, where a
// double no longer holds every whole number.
std::optional<double> whole_pixels(double printed);

enum class picture_axis : std::uint8_t { x, y };

// What a result is on the picture: no number to draw, the picture's own
// side (it has the target's proportions), a frame inside it that cuts away
// the rest, or one outside it that adds margins.
enum class frame_place : std::uint8_t { none, same, inside, outside };

struct picture_frame {
    picture_axis axis = picture_axis::x;
    frame_place place = frame_place::none;
    double size = 0;    // across the axis
    double offset = 0;  // inside: where the cut starts; outside: where the picture starts
};

// The first result (which 0) is a height for the picture's width, so it
// runs along y; the second a width for its height, along x. Both frames
// start centred, a spare odd pixel after them.
picture_frame frame_of(int which, double printed, double width, double height);

// A cut moved to `offset`: whole pixels, from 0 to the room it leaves.
double moved_cut(const picture_frame& cut, double width, double height, double offset);

struct picture_rect {
    double x;
    double y;
    double width;
    double height;
};

// What a frame makes of the picture: inside, the part the cut keeps, in the
// picture's pixels; outside, the whole with its margins, and where the
// picture stands in it.
picture_rect cut_rect(const picture_frame& cut, double width, double height);
picture_rect margins_rect(const picture_frame& margins, double width, double height);
picture_rect placed_picture(const picture_frame& margins, double width, double height);

// `rect`, in a whole of from_width × from_height, in the same whole drawn at
// to_width × to_height: each edge on its nearest pixel, so that neighbours
// meet.
picture_rect scaled_rect(const picture_rect& rect, double from_width, double from_height, double to_width,
                         double to_height);

// The largest picture made in one piece: iOS Safari makes no canvas larger.
inline constexpr double largest_piece = 16777216;

struct target_pixels {
    double width;
    double height;
};

// The target's size as a picture to save: each side to the nearest pixel;
// none where a side rounds below 1 or the whole is larger than one piece.
std::optional<target_pixels> target_size(double width, double height);

}  // namespace kadrimo
