#include "number_text.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// The digits are worked out here rather than by printf or to_chars: C and
// C++ libraries differ in how they spell a not-a-number, in how many digits
// an exponent gets (one of Windows' printfs takes that from the environment),
// and some have no floating-point to_chars at all. Every double is an integer
// times a power of two, so its decimal digits are exact in integer arithmetic,
// and rounding them to six is the same in every build.

namespace kadrimo {
namespace {

constexpr int significant_digits = 6;

// A big unsigned integer in base 10^9, least significant limb first. The
// largest needed is a 53-bit integer times 5^1074, some 767 digits.
class big_decimal {
public:
    explicit big_decimal(std::uint64_t value) {
        while (value != 0) {
            limbs_[used_++] = static_cast<std::uint32_t>(value % limb_base);
            value /= limb_base;
        }
    }

    // A limb times 2^29 or 5^13, the largest such powers, stays within 64
    // bits.
    void multiply_by_power_of_two(unsigned count) {
        constexpr unsigned most_per_step = 29;
        multiply_by_power(2, most_per_step, count);
    }
    void multiply_by_power_of_five(unsigned count) {
        constexpr std::uint32_t five = 5;
        constexpr unsigned most_per_step = 13;
        multiply_by_power(five, most_per_step, count);
    }

    [[nodiscard]] std::string digits() const {
        std::string text = std::to_string(limbs_[used_ - 1]);
        for (std::size_t i = used_ - 1; i-- > 0;) {
            const std::string limb = std::to_string(limbs_[i]);
            text.append(limb_digits - limb.size(), '0').append(limb);
        }
        return text;
    }

private:
    static constexpr std::uint64_t limb_base = 1'000'000'000;
    static constexpr std::size_t limb_digits = 9;
    static constexpr std::size_t most_limbs = 90;

    void multiply_by_power(std::uint32_t base, unsigned per_step, unsigned count) {
        for (; count >= per_step; count -= per_step) multiply(power(base, per_step));
        multiply(power(base, count));
    }

    static std::uint32_t power(std::uint32_t base, unsigned count) {
        std::uint32_t result = 1;
        for (unsigned i = 0; i < count; ++i) result *= base;
        return result;
    }

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < used_; ++i) {
            const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
            limbs_[i] = static_cast<std::uint32_t>(product % limb_base);
            carry = product / limb_base;
        }
        for (; carry != 0; carry /= limb_base) {
            limbs_[used_++] = static_cast<std::uint32_t>(carry % limb_base);
        }
    }

    std::array<std::uint32_t, most_limbs> limbs_{};
    std::size_t used_ = 0;
};

// A positive value as six significant digits and the decimal exponent of
// the first: 1296 is {"129600", 3}.
struct rounded {
    std::string digits;
    int exponent;
};

// The exact digits of mantissa * 2^exponent, rounded to six, halves to even.
rounded round_exactly(std::uint64_t mantissa, int exponent) {
    // Trailing zero bits only make the integer longer. The mantissa is never
    // zero here. (A loop, as Emscripten's libc++ has no std::countr_zero.)
    while ((mantissa & 1U) == 0) {
        mantissa >>= 1U;
        ++exponent;
    }

    big_decimal value(mantissa);
    // m * 2^-k is m * 5^k / 10^k: the same digits as m * 5^k, k places on.
    int places = 0;
    if (exponent >= 0) {
        value.multiply_by_power_of_two(static_cast<unsigned>(exponent));
    } else {
        places = -exponent;
        value.multiply_by_power_of_five(static_cast<unsigned>(places));
    }
    const std::string all = value.digits();
    rounded result{all.substr(0, significant_digits),
                   static_cast<int>(all.size()) - 1 - places};
    result.digits.resize(significant_digits, '0');
    if (all.size() <= significant_digits) return result;

    const std::string_view rest = std::string_view(all).substr(significant_digits);
    const bool above_half = rest[0] > '5' ||
                            (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string_view::npos);
    const bool half = rest[0] == '5' && !above_half;
    const bool odd = (result.digits.back() - '0') % 2 == 1;
    if (!above_half && !(half && odd)) return result;

    std::size_t i = significant_digits;
    while (i > 0 && result.digits[i - 1] == '9') result.digits[--i] = '0';
    if (i == 0) {
        result.digits.front() = '1';
        ++result.exponent;
    } else {
        ++result.digits[i - 1];
    }
    return result;
}

void drop_trailing_zeros(std::string& fraction) {
    fraction.erase(fraction.find_last_not_of('0') + 1);
}

// printf's "%g": plain notation for decimal exponents from -4 to 5, exponent
// notation with at least two exponent digits otherwise; trailing zeros, and
// a decimal point left with nothing after it, dropped.
std::string general_notation(const rounded& value) {
    const std::string& digits = value.digits;
    const int exponent = value.exponent;
    if (exponent < -4 || exponent >= significant_digits) {
        std::string fraction = digits.substr(1);
        drop_trailing_zeros(fraction);
        std::string text(1, digits.front());
        if (!fraction.empty()) text.append(".").append(fraction);
        const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
        text.append(exponent < 0 ? "e-" : "e+");
        if (magnitude.size() == 1) text.push_back('0');
        return text.append(magnitude);
    }
    if (exponent < 0) {
        std::string fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        drop_trailing_zeros(fraction);
        return "0." + fraction;
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    std::string fraction = digits.substr(whole);
    drop_trailing_zeros(fraction);
    std::string text = digits.substr(0, whole);
    if (!fraction.empty()) text.append(".").append(fraction);
    return text;
}

}  // namespace

std::string number_text(double value) {
    constexpr int fraction_bits = 52;
    constexpr std::uint64_t fraction_mask = (std::uint64_t{1} << fraction_bits) - 1;
    constexpr std::uint64_t exponent_mask = 0x7ff;
    constexpr int exponent_bias = 1075;  // 1023, and the 52 fraction bits

    // memcpy rather than std::bit_cast, which Emscripten's libc++ lacks.
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const std::string sign = (bits >> 63) != 0 ? "-" : "";
    const std::uint64_t biased = (bits >> fraction_bits) & exponent_mask;
    const std::uint64_t fraction = bits & fraction_mask;
    if (biased == exponent_mask) return fraction != 0 ? "nan" : sign + "inf";
    if (biased == 0 && fraction == 0) return sign + "0";
    // Subnormals have no implicit leading bit and the smallest exponent.
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (fraction_mask + 1);
    const int exponent = (biased == 0 ? 1 : static_cast<int>(biased)) - exponent_bias;
    return sign + general_notation(round_exactly(mantissa, exponent));
}

}  // namespace kadrimo
