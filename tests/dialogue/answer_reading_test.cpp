#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "answer_reading.hpp"

// How the dialogue reads an answer. The C++ libraries' own extraction
// differs here (libc++ reads on through letters that could belong to a
// hexadecimal number, and refuses subnormals), and C libraries have been
// known to round hard cases differently; every build must read these alike.
// Expected doubles are the correctly rounded ones, as Python's float() gives
// them.

namespace kadrimo {
namespace {

struct reading_case {
    const char* text;
    double value;
};

double read(const char* text, bool& failed) {
    std::istringstream in(text);
    double value = -1.0;
    failed = !read_answer(in, value);
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
        // Too small for a double, and still negative.
        {"-1e-400", -0.0},
        {"-2.4703282292062327e-324", -0.0},
    };
    for (const reading_case& c : cases) {
        bool failed = true;
        const double value = read(c.text, failed);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
        EXPECT_FALSE(failed) << c.text;
    }
}

// Each answer ends at the first character that cannot continue it, and
// that character and all after it are left for the next read.
struct prefix_case {
    const char* text;
    double value;
    const char* left;
};

TEST(number_reading, a_double_ends_where_it_cannot_go_on) {
    const prefix_case cases[] = {
        {"0x10", 0, "x10"},
        {"0D66", 0, "D66"},
        {"1920x1080", 1920, "x1080"},
        {"1920px", 1920, "px"},
        {"2xX", 2, "xX"},
        {"1e5x", 1e5, "x"},
        {"5e3e2", 5000, "e2"},
        {"1.5.5", 1.5, ".5"},
        {"1.e2", 100, ""},
        {"+.5", 0.5, ""},
        {"1e+07 ", 1e7, " "},
        {"4.5e-320", 0x0.0000000002394p-1022, ""},
        {"7inf", 7, "inf"},
        {"1,5", 1, ",5"},
        {" \t\n\v\f\r5", 5, ""},
    };
    for (const prefix_case& c : cases) {
        std::istringstream in(c.text);
        double value = -1.0;
        EXPECT_TRUE(read_answer(in, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.left) << c.text;
    }
}

// What starts no number, or one beyond the double range, is unreadable;
// what was taken of it is gone, and the rest is left.
TEST(number_reading, unreadable_answers) {
    const std::pair<const char*, const char*> cases[] = {
        {"x", "x"}, {"inf", "inf"}, {"nan", "nan"}, {".", ""},    {"-", ""},   {"+-5", "-5"},
        {"--5", "-5"}, {"1e", ""},  {"1e+", ""},    {"1E-", ""},  {".e5", "e5"}, {"", ""},
        {"   ", ""}, {"\b5", "\b5"}, {"1e309", ""}, {"-1e309", ""}, {"1.7976931348623159e308", ""},
        {"1e99999999999", ""},
    };
    for (const auto& [text, left] : cases) {
        std::istringstream in(text);
        double value = 0.0;
        EXPECT_FALSE(read_answer(in, value)) << text;
        EXPECT_TRUE(in.fail()) << text;
        in.clear();
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), left) << text;
    }
}

// The stream's locale has no say in what white space is, and a stream that
// has failed is not read at all.
struct x_is_space : std::ctype<char> {
    static const mask* with_x() {
        static std::vector<mask> masks(classic_table(), classic_table() + table_size);
        masks['x'] |= space;
        return masks.data();
    }
    x_is_space() : std::ctype<char>(with_x()) {}
};

TEST(number_reading, neither_the_locale_nor_a_failed_stream_gets_a_number_read) {
    for (const bool failed_before : {false, true}) {
        std::istringstream in(failed_before ? "5" : "x5");
        in.imbue(std::locale(in.getloc(), new x_is_space));
        in.setstate(failed_before ? std::ios::failbit : std::ios::goodbit);
        double value = 0.0;
        EXPECT_FALSE(read_answer(in, value));
        EXPECT_EQ(in.rdbuf()->sgetc(), failed_before ? '5' : 'x');
    }
}

struct int_case {
    const char* text;
    bool readable;
    int value;
    const char* left;
};

TEST(number_reading, a_target_number_is_a_sign_and_digits) {
    const int_case cases[] = {
        {"9.5", true, 9, ".5"},
        {"+5", true, 5, ""},
        {"-3x", true, -3, "x"},
        {"1e3", true, 1, "e3"},
        {"0x10", true, 0, "x10"},
        {"2147483647", true, std::numeric_limits<int>::max(), ""},
        {"-2147483648", true, std::numeric_limits<int>::min(), ""},
        {"2147483648", false, 0, ""},
        {"-2147483649", false, 0, ""},
        {"+", false, 0, ""},
        {"-x", false, 0, "x"},
    };
    for (const int_case& c : cases) {
        std::istringstream in(c.text);
        int value = -1;
        EXPECT_EQ(read_answer(in, value), c.readable) << c.text;
        if (c.readable) {
            EXPECT_EQ(value, c.value) << c.text;
        }
        in.clear();
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.left) << c.text;
    }
}

}  // namespace
}  // namespace kadrimo
