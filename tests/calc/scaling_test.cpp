#include <gtest/gtest.h>

#include "scaling.hpp"

namespace kadrimo {
namespace {

// Quotient first, then the product: the other orders round differently.
TEST(scaling, quotient_is_rounded_before_the_product) {
    EXPECT_EQ(height_for_width(640, 1136, 569), 1009.9749999999999);
    EXPECT_NE(height_for_width(640, 1136, 569), 1009.975);
    EXPECT_EQ(height_for_width(1440, 1280, 1920), 1706.6666666666665);
    EXPECT_EQ(width_for_height(1280, 1440, 1920), 1706.6666666666665);
}

}  // namespace
}  // namespace kadrimo
