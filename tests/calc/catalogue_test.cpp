#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "catalogue.hpp"
#include "cp932.hpp"
#include "japanese.hpp"
#include "texts.hpp"

namespace kadrimo {
namespace {

using testing::cp932;

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

std::string whole_menu() {
    std::string menu = texts::menu_heading;
    for (const target_format& row : target_catalogue()) {
        if (row.menu_line != nullptr) menu += row.menu_line;
    }
    return menu;
}

TEST(menu, reads_as_the_japanese_menu_byte_for_byte) {
    const std::string expected = cp932(testing::menu_utf8);
    EXPECT_EQ(whole_menu(), expected);
    EXPECT_EQ(whole_menu().size(), 151U);
}

TEST(menu, blank_names_are_seven_spaces_and_two_ideographic_spaces) {
    const std::string line2 = target_catalogue()[2].menu_line;
    EXPECT_EQ(line2.substr(0, 13), "2:       \x81\x40\x81\x40");
}

TEST(catalogue, rows_are_in_number_order_and_only_five_is_unlisted) {
    int previous = -1;
    for (const target_format& row : target_catalogue()) {
        EXPECT_GT(row.number, previous);
        previous = row.number;
        EXPECT_EQ(row.menu_line == nullptr, row.number == 5) << row.number;
    }
}

}  // namespace
}  // namespace kadrimo
