#include <gtest/gtest.h>

#include <climits>

#include "catalogue.hpp"

namespace kadrimo {
namespace {

struct preset_case {
    int number;
    double width;
    double height;
};

TEST(resolve_target, presets_give_their_dimensions) {
    const preset_case cases[] = {
        {0, 861, 1206}, {1, 960, 800}, {2, 480, 800}, {3, 1440, 1280}, {4, 320, 480},
        {5, 640, 1136},  // not in the menu, still accepted
    };
    for (const preset_case& c : cases) {
        const resolved_target target = resolve_target(c.number);
        EXPECT_EQ(target.kind, target_kind::preset) << c.number;
        EXPECT_EQ(target.width, c.width) << c.number;
        EXPECT_EQ(target.height, c.height) << c.number;
    }
}

TEST(resolve_target, nine_asks_for_manual_entry) {
    EXPECT_EQ(resolve_target(9).kind, target_kind::manual);
}

TEST(resolve_target, everything_else_is_invalid) {
    for (const int number : {6, 7, 8, 10, 11, 95, -1, -3, -9, INT_MAX, INT_MIN}) {
        EXPECT_EQ(resolve_target(number).kind, target_kind::invalid) << number;
    }
}

}  // namespace
}  // namespace kadrimo
