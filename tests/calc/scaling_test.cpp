#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "number_text.hpp"
#include "scaling.hpp"

namespace kadrimo {
namespace {

// As the dialogue prints results.
std::string printed(double value) { return number_text(value); }

struct scaling_case {
    double target_width, target_height, source_width, source_height;
    const char* height_text;
    const char* width_text;
};

TEST(scaling, preset_examples_print_as_worked_out_by_hand) {
    const scaling_case cases[] = {
        {960, 800, 1920, 1080, "1600", "1296"},
        {861, 1206, 640, 960, "896.446", "685.373"},
        {640, 1136, 1080, 1920, "1917", "1081.69"},
        {320, 480, 640, 960, "960", "640"},
        {640, 1136, 569, 0, "1009.97", "0"},
        {1440, 1280, 1920, 1280, "1706.67", "1440"},
        {960, 800, -1920, -1080, "-1600", "-1296"},
        {960, 800, 1e300, 1e-300, "8.33333e+299", "1.2e-300"},
    };
    for (const scaling_case& c : cases) {
        EXPECT_EQ(printed(height_for_width(c.target_width, c.target_height, c.source_width)),
                  c.height_text);
        EXPECT_EQ(printed(width_for_height(c.target_width, c.target_height, c.source_height)),
                  c.width_text);
    }
}

// Quotient first, then the product: the other orders round differently.
TEST(scaling, quotient_is_rounded_before_the_product) {
    EXPECT_EQ(height_for_width(640, 1136, 569), 1009.9749999999999);
    EXPECT_NE(height_for_width(640, 1136, 569), 1009.975);
    EXPECT_EQ(height_for_width(1440, 1280, 1920), 1706.6666666666665);
    EXPECT_EQ(width_for_height(1280, 1440, 1920), 1706.6666666666665);
}

TEST(scaling, zero_and_negative_quotients_pass_through_unchecked) {
    EXPECT_EQ(printed(height_for_width(-960, 800, 0)), "-0");
    EXPECT_EQ(printed(width_for_height(960, -800, 0)), "-0");
    EXPECT_TRUE(std::isinf(height_for_width(0, 800, 1920)));
    EXPECT_EQ(width_for_height(0, 800, 1080), 0.0);
    EXPECT_TRUE(std::isnan(height_for_width(0, 800, 0)));
    EXPECT_TRUE(std::isinf(width_for_height(960, 0, 1080)));
    EXPECT_EQ(height_for_width(960, 0, 1920), 0.0);
}

TEST(scaling, quotient_overflow_is_an_infinity_not_a_wider_register) {
    // 1e300 / 1e-10 leaves the double range before the product could bring
    // it back; the result must be the same everywhere.
    EXPECT_EQ(height_for_width(1e-10, 1e300, 1e-300), std::numeric_limits<double>::infinity());
    EXPECT_EQ(width_for_height(1e300, 1e-10, 1e-300), std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace kadrimo
