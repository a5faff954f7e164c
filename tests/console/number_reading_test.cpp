#include <gtest/gtest.h>

#include <locale>
#include <sstream>

// The dialogue reads every dimension by the stream's extraction, which each
// C++ library implements on its own C library. These inputs are the ones that
// C libraries have been known to round differently; every build must read
// them to the same double. The expected values are the correctly rounded
// doubles, as Python's float() gives them.

namespace {

struct reading_case {
    const char* text;
    double value;
};

double read(const char* text, bool& failed) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double value = -1.0;
    in >> value;
    failed = in.fail();
    return value;
}

TEST(number_reading, hard_cases_round_to_the_nearest_double) {
    const reading_case cases[] = {
        {"4.9e-324", 0x0.0000000000001p-1022},
        {"2.4703282292062327e-324", 0.0},
        {"2.4703282292062328e-324", 0x0.0000000000001p-1022},
        {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022},
        {"2.2250738585072014e-308", 0x1p-1022},
        {"1e-320", 0x0.00000000007e8p-1022},
        {"1e-400", 0.0},
        {"1.7976931348623157e308", 0x1.fffffffffffffp+1023},
        {"1.7976931348623158e308", 0x1.fffffffffffffp+1023},
        {"8.98846567431158e307", 0x1p+1023},
        {"9007199254740993", 0x1p+53},
        {"7.2057594037927933e16", 0x1p+56},
        {"1e23", 0x1.52d02c7e14af6p+76},
        {"0.1", 0x1.999999999999ap-4},
        {"1.00000000000000011102230246251565404236316680908203125", 1.0},
        {"1.00000000000000011102230246251565404236316680908203124", 1.0},
        {"1.00000000000000011102230246251565404236316680908203126", 0x1.0000000000001p+0},
        {"1234567890123456789012345678901234567890", 0x1.d064903ae06e0p+129},
        {"0.000000000000000000000000000000000000001234567890123456789", 0x1.ae2f22c33f119p-130},
        {"123456789012345678901234567890e-20", 0x1.26580b487e6b7p+30},
    };
    for (const reading_case& c : cases) {
        bool failed = true;
        EXPECT_EQ(read(c.text, failed), c.value) << c.text;
        EXPECT_FALSE(failed) << c.text;
    }
}

TEST(number_reading, beyond_the_double_range_is_unreadable) {
    for (const char* text : {"1e309", "-1e309", "1.7976931348623159e308"}) {
        bool failed = false;
        read(text, failed);
        EXPECT_TRUE(failed) << text;
    }
}

}  // namespace
