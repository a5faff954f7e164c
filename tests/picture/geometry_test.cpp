// Where the results land on the user's picture: each expected number is
// worked out by hand from the printed result and the picture's size.

#include <cmath>
#include <limits>
#include <optional>

#include <gtest/gtest.h>

#include "geometry.hpp"

// NOLINTBEGIN(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers): sides and results

namespace {

using kadrimo::frame_place;
using kadrimo::picture_axis;
using kadrimo::picture_frame;
using kadrimo::picture_rect;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct frame_case {
    int which;
    double printed;
    double width;
    double height;
    frame_place place;
    double size;
    double offset;
};

TEST(picture_geometry, frames_from_printed_results) {
    const frame_case cases[] = {
        // Target 0 (861 x 1206) and a 1920 x 1080 picture: margins above and
        // below, (2689 - 1080) / 2 rows each; a cut of 771 columns from 574.
        {0, 2689.34, 1920, 1080, frame_place::outside, 2689, 804},
        {1, 771.045, 1920, 1080, frame_place::inside, 771, 574},
        {1, 100.5, 201, 50, frame_place::inside, 101, 50},  // a half rounds up
        {1, 100.49, 201, 50, frame_place::inside, 100, 50},
        {1, 0.4, 2, 2, frame_place::inside, 1, 0},          // never below 1
        {0, 0.5, 3, 3, frame_place::inside, 1, 1},
        {1, 1919, 1920, 1080, frame_place::inside, 1919, 0},  // one pixel of room
        {0, 1080.4, 1920, 1080, frame_place::same, 1080, 0},
        {0, 1080.5, 1920, 1080, frame_place::outside, 1081, 0},
        {1, 9007199254740992.0, 1, 1, frame_place::outside, 9007199254740992.0, 4503599627370495},
        {1, 0, 1920, 1080, frame_place::none, 0, 0},
        {1, -3, 1920, 1080, frame_place::none, 0, 0},
        {1, inf, 1920, 1080, frame_place::none, 0, 0},
        {0, nan, 1920, 1080, frame_place::none, 0, 0},
        {0, 9007199254740994.0, 1920, 1080, frame_place::none, 0, 0},
    };
    for (const frame_case& c : cases) {
        const picture_frame frame = kadrimo::frame_of(c.which, c.printed, c.width, c.height);
        SCOPED_TRACE(::testing::Message() << "result " << c.which << " printed " << c.printed);
        EXPECT_EQ(frame.axis, c.which == 0 ? picture_axis::y : picture_axis::x);
        EXPECT_EQ(frame.place, c.place);
        EXPECT_EQ(frame.size, c.size);
        EXPECT_EQ(frame.offset, c.offset);
    }
}

TEST(picture_geometry, a_cut_moves_in_whole_pixels_within_its_room) {
    const picture_frame cut{picture_axis::x, frame_place::inside, 1919, 0};
    const double moves[][2] = {{0.6, 1}, {0.4, 0}, {5, 1}, {-1, 0}, {inf, 1}, {-inf, 0}, {nan, 0}};
    for (const auto& move : moves) EXPECT_EQ(kadrimo::moved_cut(cut, 1920, 1080, move[0]), move[1]) << move[0];
    const picture_frame rows{picture_axis::y, frame_place::inside, 100, 7};
    EXPECT_EQ(kadrimo::moved_cut(rows, 1920, 1080, 2000), 980);
    EXPECT_EQ(kadrimo::moved_cut(rows, 1920, 1080, nan), 7);
}

void expect_rect(const picture_rect& got, const picture_rect& wanted) {
    EXPECT_EQ(got.x, wanted.x);
    EXPECT_EQ(got.y, wanted.y);
    EXPECT_EQ(got.width, wanted.width);
    EXPECT_EQ(got.height, wanted.height);
}

TEST(picture_geometry, cuts_and_margins_in_the_pictures_pixels_and_at_the_targets_size) {
    const picture_frame columns{picture_axis::x, frame_place::inside, 771, 600};
    const picture_frame rows{picture_axis::y, frame_place::inside, 500, 20};
    const picture_frame above_below{picture_axis::y, frame_place::outside, 2689, 804};
    const picture_frame beside{picture_axis::x, frame_place::outside, 4838, 906};
    expect_rect(kadrimo::cut_rect(columns, 1920, 1080), {600, 0, 771, 1080});
    expect_rect(kadrimo::cut_rect(rows, 1920, 1080), {0, 20, 1920, 500});
    expect_rect(kadrimo::margins_rect(above_below, 1920, 1080), {0, 0, 1920, 2689});
    expect_rect(kadrimo::placed_picture(above_below, 1920, 1080), {0, 804, 1920, 1080});
    expect_rect(kadrimo::margins_rect(beside, 3024, 4032), {0, 0, 4838, 4032});
    expect_rect(kadrimo::placed_picture(beside, 3024, 4032), {906, 0, 3024, 4032});
    // The picture's rows 804 to 1883 of 2689, at 1206 rows: 804 * 1206 / 2689
    // = 360.59 and 1884 * 1206 / 2689 = 844.96.
    expect_rect(kadrimo::scaled_rect({0, 804, 1920, 1080}, 1920, 2689, 861, 1206), {0, 361, 861, 484});
    // Neighbours meet: 0-1 and 1-2 of 3 at 2 pixels share the edge at 0.67 -> 1.
    expect_rect(kadrimo::scaled_rect({1, 0, 1, 1}, 3, 1, 2, 1), {1, 0, 0, 1});
    expect_rect(kadrimo::scaled_rect({0, 0, 1, 1}, 3, 1, 2, 1), {0, 0, 1, 1});
}

TEST(picture_geometry, the_targets_size_is_offered_where_one_piece_holds_it) {
    const double sizes[][4] = {
        {861, 1206, 861, 1206}, {960.4, 799.5, 960, 800}, {0.5, 100, 1, 100}, {100, 0.6, 100, 1},
        {4096, 4096, 4096, 4096}};
    for (const auto& size : sizes) {
        const std::optional<kadrimo::target_pixels> got = kadrimo::target_size(size[0], size[1]);
        ASSERT_TRUE(got) << size[0] << " x " << size[1];
        EXPECT_EQ(got->width, size[2]);
        EXPECT_EQ(got->height, size[3]);
    }
}

TEST(picture_geometry, no_target_size_below_a_pixel_or_past_one_piece) {
    const double refused[][2] = {{0.4, 100}, {100, 0}, {4097, 4096}, {16777217, 1}, {nan, 1}, {1, inf}, {-2, -2},
                                 {1e300, 1}};
    for (const auto& size : refused) EXPECT_FALSE(kadrimo::target_size(size[0], size[1])) << size[0] << " x " << size[1];
}

}  // namespace

// NOLINTEND(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)
