// Resampling and margins on pictures of a few pixels, whose results can be
// worked out by hand: a mean of black and white in linear light is 0.5,
// which sRGB writes as 1.055 * 0.5^(1/2.4) - 0.055 = 0.7354, 187.5 of 255
// (a mean of the stored values would be 127.5).

#include <cstddef>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "pixels.hpp"

// NOLINTBEGIN(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers): colour levels

namespace {

using kadrimo::margin_fill;
using pixels = std::vector<std::uint8_t>;

struct picture {
    pixels bytes;
    std::uint32_t width;
    std::uint32_t height;
    [[nodiscard]] kadrimo::rgba_view view() const { return {bytes.data(), width, height}; }
};

// The pixel at x, y of a picture `width` wide.
pixels at(const pixels& bytes, std::uint32_t width, std::uint32_t x, std::uint32_t y) {
    const std::size_t first = (std::size_t{y} * width + x) * 4;
    return {bytes.at(first), bytes.at(first + 1), bytes.at(first + 2), bytes.at(first + 3)};
}

pixels resampled(const picture& from, std::uint32_t width, std::uint32_t height) {
    pixels to(std::size_t{width} * height * 4);
    EXPECT_TRUE(kadrimo::resample(from.view(), {to.data(), width, height}));
    return to;
}

const pixels red{255, 0, 0, 255};
const pixels blue{0, 0, 255, 255};
const pixels white{255, 255, 255, 255};
const pixels black{0, 0, 0, 255};
const pixels clear_green{0, 255, 0, 0};

pixels joined(std::initializer_list<pixels> parts) {
    pixels all;
    for (const pixels& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(picture_pixels, resampled_in_linear_light_weighted_by_alpha) {
    const pixels grey = resampled({joined({black, white, white, black}), 2, 2}, 1, 1);
    for (const std::uint8_t level : {grey[0], grey[1], grey[2]}) EXPECT_NEAR(level, 187.5, 1);
    EXPECT_EQ(grey[3], 255);
}

TEST(picture_pixels, a_transparent_pixels_colour_counts_for_nothing) {
    // The alpha itself is a plain mean.
    const pixels half_red = resampled({joined({red, clear_green, clear_green, red}), 2, 2}, 1, 1);
    EXPECT_EQ((pixels{half_red[0], half_red[1], half_red[2]}), (pixels{255, 0, 0}));
    EXPECT_NEAR(half_red[3], 127.5, 1);
}

TEST(picture_pixels, one_colour_stays_that_colour_at_any_size) {
    const picture orange{joined({pixels{200, 100, 50, 255}, pixels{200, 100, 50, 255}, pixels{200, 100, 50, 255}}), 3, 1};
    const pixels grown = resampled(orange, 2, 5);
    for (std::uint32_t y = 0; y < 5; ++y) EXPECT_EQ(at(grown, 2, 1, y), (pixels{200, 100, 50, 255})) << y;
}

TEST(picture_pixels, rows_shrunk_as_rows_where_the_width_stays) {
    // Red rows over blue ones, halved: mostly red above, mostly blue below
    // (Catmull-Rom reaches a little into the neighbour).
    const pixels shrunk = resampled({joined({red, red, red, red, blue, blue, blue, blue}), 2, 4}, 2, 2);
    const pixels above = at(shrunk, 2, 0, 0);
    const pixels below = at(shrunk, 2, 1, 1);
    EXPECT_GT(above[0], 200);
    EXPECT_LT(above[2], 100);
    EXPECT_LT(below[0], 100);
    EXPECT_GT(below[2], 200);
}

TEST(picture_pixels, columns_shrunk_as_columns_where_the_height_stays) {
    const pixels shrunk = resampled({joined({red, red, blue, blue}), 4, 1}, 2, 1);
    EXPECT_GT(at(shrunk, 2, 0, 0)[0], 200);
    EXPECT_GT(at(shrunk, 2, 1, 0)[2], 200);
}

TEST(picture_pixels, the_same_size_is_a_copy_byte_for_byte) {
    const picture odd{joined({pixels{10, 20, 30, 0}, pixels{1, 2, 3, 4}}), 2, 1};
    EXPECT_EQ(resampled(odd, 2, 1), odd.bytes);
}

// A 2 x 2 picture, red above blue, given margins above and below (2 x 6)
// or beside it (6 x 2).
pixels with_margins(margin_fill fill, bool beside, const picture& from) {
    const std::uint32_t width = beside ? 6 : 2;
    const std::uint32_t height = beside ? 2 : 6;
    pixels to(std::size_t{width} * height * 4, 7);
    const kadrimo::picture_rect place = beside ? kadrimo::picture_rect{2, 0, 2, 2} : kadrimo::picture_rect{0, 2, 2, 2};
    EXPECT_TRUE(kadrimo::add_margins(from.view(), {to.data(), width, height}, place, fill));
    return to;
}

const picture red_over_blue{joined({red, red, blue, blue}), 2, 2};

TEST(picture_pixels, margins_filled_around_the_picture_copied_as_it_is) {
    const std::pair<margin_fill, pixels> plain[] = {
        {margin_fill::transparent, {0, 0, 0, 0}}, {margin_fill::white, white}, {margin_fill::black, black}};
    for (const auto& [fill, colour] : plain) {
        const pixels made = with_margins(fill, false, red_over_blue);
        for (const std::uint32_t y : {0U, 1U, 4U, 5U}) EXPECT_EQ(at(made, 2, 1, y), colour) << y;
        EXPECT_EQ(pixels(made.begin() + 16, made.begin() + 32), red_over_blue.bytes);
    }
}

TEST(picture_pixels, each_margin_the_colour_of_the_edge_beside_it) {
    // Red above, blue below; beside, each column's mean of red and blue, in
    // linear light.
    const pixels edges = with_margins(margin_fill::edge, false, red_over_blue);
    EXPECT_EQ(joined({at(edges, 2, 0, 0), at(edges, 2, 1, 5)}), joined({red, blue}));
    const pixels sides = with_margins(margin_fill::edge, true, red_over_blue);
    EXPECT_EQ(at(sides, 6, 0, 1), (pixels{188, 0, 188, 255}));
    EXPECT_EQ(at(sides, 6, 5, 0), (pixels{188, 0, 188, 255}));
    // 88 and 1 of red average, in linear light, to 63 (62 were a level read
    // as 1/256); the green of both stays.
    pixels mixed(std::size_t{3} * 2 * 4);
    const picture column{joined({pixels{88, 100, 0, 255}, pixels{1, 100, 0, 255}}), 1, 2};
    ASSERT_TRUE(kadrimo::add_margins(column.view(), {mixed.data(), 3, 2}, {1, 0, 1, 2}, margin_fill::edge));
    EXPECT_EQ(at(mixed, 3, 0, 0), (pixels{63, 100, 0, 255}));
    // A fully transparent edge gives black margins, still opaque.
    const pixels clear = with_margins(margin_fill::edge, false, {joined({clear_green, clear_green, red, red}), 2, 2});
    EXPECT_EQ(at(clear, 2, 0, 1), black);
}

TEST(picture_pixels, a_blurred_margin_is_the_picture_covering_the_whole_with_no_hole) {
    const pixels blurred = with_margins(margin_fill::blur, false, red_over_blue);
    for (std::size_t alpha = 3; alpha < blurred.size(); alpha += 4) EXPECT_EQ(blurred[alpha], 255) << alpha / 4;
    EXPECT_EQ(pixels(blurred.begin() + 16, blurred.begin() + 32), red_over_blue.bytes);
    // The covering picture's top is red, its bottom blue.
    EXPECT_GT(at(blurred, 2, 0, 0)[0], at(blurred, 2, 0, 0)[2]);
    EXPECT_LT(at(blurred, 2, 0, 5)[0], at(blurred, 2, 0, 5)[2]);
}

// A picture of 24 x 24 (so not shrunk before it is blurred), red and green
// quarters above, blue and white below, covering a whole three times as
// tall (or wide) as itself: the whole shows its middle third of columns
// (or rows), so each corner of the whole is a quarter's own colour.
const pixels green{0, 255, 0, 255};

pixels quarters() {
    pixels made;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            const pixels& colour = y < 12 ? (x < 12 ? red : green) : (x < 12 ? blue : white);
            made.insert(made.end(), colour.begin(), colour.end());
        }
    }
    return made;
}

// The four corners of the whole, the quarters given blurred margins above
// and below, or beside.
pixels blurred_corners(bool beside) {
    const std::uint32_t width = beside ? 72 : 24;
    const std::uint32_t height = beside ? 24 : 72;
    pixels to(std::size_t{width} * height * 4);
    const kadrimo::picture_rect place = beside ? kadrimo::picture_rect{24, 0, 24, 24} : kadrimo::picture_rect{0, 24, 24, 24};
    const picture from{quarters(), 24, 24};
    EXPECT_TRUE(kadrimo::add_margins(from.view(), {to.data(), width, height}, place, margin_fill::blur));
    return joined({at(to, width, 0, 0), at(to, width, width - 1, 0), at(to, width, 0, height - 1),
                   at(to, width, width - 1, height - 1)});
}

TEST(picture_pixels, a_blurred_margin_shows_the_middle_of_the_picture_covering_the_whole) {
    EXPECT_EQ(blurred_corners(false), joined({red, green, blue, white}));
    EXPECT_EQ(blurred_corners(true), joined({red, green, blue, white}));
}

// Red with a white column 8, covering a whole three times as tall: the
// whole's left edge shows column 8, the first of the middle third, so the
// blurred white reaches its first pixels.
TEST(picture_pixels, a_blurred_margin_is_the_picture_at_the_covering_scale) {
    pixels striped;
    for (int i = 0; i < 24 * 24; ++i) {
        const pixels& colour = i % 24 == 8 ? white : red;
        striped.insert(striped.end(), colour.begin(), colour.end());
    }
    pixels to(std::size_t{24} * 72 * 4);
    ASSERT_TRUE(kadrimo::add_margins({striped.data(), 24, 24}, {to.data(), 24, 72}, {0, 24, 24, 24}, margin_fill::blur));
    EXPECT_GT(at(to, 24, 1, 0)[1], 150);
}

TEST(picture_pixels, margins_too_wide_for_the_picture_to_have_a_pixel_are_all_fill) {
    pixels to(std::size_t{4} * 4, 7);
    EXPECT_TRUE(kadrimo::add_margins(red_over_blue.view(), {to.data(), 1, 4}, {0, 2, 1, 0}, margin_fill::white));
    EXPECT_EQ(at(to, 1, 0, 3), white);
}

}  // namespace

// NOLINTEND(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)
