#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cp932_buffer_cases.hpp"
#include "cp932_to_console_windows.hpp"

namespace kadrimo {
namespace {

// UTF-16 without surrogates, as the console is given it, spelt in UTF-8 by
// hand: the common tests compare UTF-8, and this is no converter of the
// system's.
std::string utf8_of(const std::wstring& wide) {
    std::string utf8;
    for (const wchar_t unit : wide) {
        const auto code = static_cast<unsigned>(unit);
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xc0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3f));
        } else {
            utf8 += static_cast<char>(0xe0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
            utf8 += static_cast<char>(0x80 | (code & 0x3f));
        }
    }
    return utf8;
}

// The console's stand-in: what it was given, and how many writes it refuses
// before it takes any.
struct console_screen {
    static inline std::wstring text;
    static inline int refusals = 0;
    static bool write(std::wstring_view written) {
        if (refusals-- > 0) return false;
        text += written;
        return true;
    }
    static std::unique_ptr<std::streambuf> converter() {
        text.clear();
        refusals = 0;
        return make_cp932_to_console_buffer(write);
    }
    static void refuse(int writes) { refusals = writes; }
    static std::string shown() { return utf8_of(text); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(cp932_to_console, cp932_buffer, console_screen);

// Every byte value on its own, followed by a line feed. Shift-JIS reads the
// ASCII bytes as themselves and 0xa1 to 0xdf as the half-width katakana from
// U+FF61; a lead byte (0x81 to 0x9f, 0xe0 to 0xfc) that a line feed follows
// is no character, nor are 0x80, 0xa0 and 0xfd to 0xff. Those must reach the
// console as U+FFFD, never as a C1 control or a private-use character, and
// the line feed must still follow.
TEST(cp932_to_console, every_byte_alone) {
    constexpr int byte_values = 256;
    constexpr int ascii_end = 0x80;
    constexpr int first_katakana = 0xa1;
    constexpr int last_katakana = 0xdf;
    constexpr int first_katakana_character = 0xff61;
    for (int value = 0; value < byte_values; ++value) {
        std::wstring expected;
        if (value < ascii_end) {
            expected = static_cast<wchar_t>(value);
        } else if (value >= first_katakana && value <= last_katakana) {
            expected = static_cast<wchar_t>(first_katakana_character + (value - first_katakana));
        } else {
            expected = L'\xfffd';
        }
        expected += L'\n';
        const std::string bytes{static_cast<char>(value), '\n'};
        EXPECT_EQ(convert_in_pieces<console_screen>(bytes, bytes.size()), utf8_of(expected))
            << "byte " << value;
        EXPECT_EQ(convert_in_pieces<console_screen>(bytes, 1), utf8_of(expected)) << "byte " << value;
    }
}

}  // namespace
}  // namespace kadrimo
