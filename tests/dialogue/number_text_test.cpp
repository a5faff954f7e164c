#include <gtest/gtest.h>

#include <limits>

#include "number_text.hpp"

namespace kadrimo {
namespace {

using limits = std::numeric_limits<double>;

struct number_case {
    double value;
    const char* text;  // as glibc's printf("%g") spells it, worked out by hand
};

TEST(number_text, general_notation_with_six_significant_digits) {
    const number_case cases[] = {
        {1600.0, "1600"},
        {896.44599303135888, "896.446"},
        {1009.9749999999999, "1009.97"},
        {0.0, "0"},
        {-0.0, "-0"},
        {-1296.0, "-1296"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {999999.0, "999999"},
        {1000000.0, "1e+06"},
        {999999.5, "1e+06"},
        {100000.5, "100000"},
        {1009.9850000001, "1009.99"},
        {12345650.0, "1.23456e+07"},  // exactly half: to the even digit
        {12345651.0, "1.23457e+07"},
        {123456789.0, "1.23457e+08"},
        {1.2e300, "1.2e+300"},
        {1e-300, "1e-300"},
        {1e100, "1e+100"},
    };
    for (const number_case& c : cases) EXPECT_EQ(number_text(c.value), c.text) << c.value;
}

TEST(number_text, extremes_are_spelled_alike_in_every_build) {
    const number_case cases[] = {
        {limits::max(), "1.79769e+308"},
        {-limits::max(), "-1.79769e+308"},
        {limits::min(), "2.22507e-308"},
        {limits::denorm_min(), "4.94066e-324"},
        {-limits::denorm_min(), "-4.94066e-324"},
        {9.99988671826831e-321, "9.99989e-321"},
        {limits::infinity(), "inf"},
        {-limits::infinity(), "-inf"},
        {limits::quiet_NaN(), "nan"},
        {-limits::quiet_NaN(), "nan"},
    };
    for (const number_case& c : cases) EXPECT_EQ(number_text(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace kadrimo
