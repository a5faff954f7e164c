#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <ostream>
#include <string>

#include "cp932.hpp"
#include "cp932_to_console_windows.hpp"

namespace kadrimo {
namespace {

using testing::cp932;

// Kana, kanji, the multiplication sign, ideographic spaces, ASCII and line
// feeds: every kind of byte the dialogue writes. The wide text is the
// compiler's own reading of the same characters.
const std::string sample_utf8 =
    "kadrimo from もくれぴぽ Ver0.2\n\n2:       　　(480×800) \nターゲット:";
const std::wstring sample_wide =
    L"kadrimo from もくれぴぽ Ver0.2\n\n2:       　　(480×800) \nターゲット:";
constexpr wchar_t replacement = L'\xfffd';

// The console stand-in: what it was given, and how many writes it refuses
// before it takes any.
std::wstring console_screen;
int console_refusals = 0;

bool stand_in_console(std::wstring_view text) {
    if (console_refusals-- > 0) return false;
    console_screen += text;
    return true;
}

class cp932_to_console : public ::testing::Test {
protected:
    void SetUp() override {
        console_screen.clear();
        console_refusals = 0;
    }
};

std::wstring convert_in_pieces(const std::string& cp932_bytes, std::size_t piece) {
    console_screen.clear();
    console_refusals = 0;
    {
        const std::unique_ptr<std::streambuf> converter =
            make_cp932_to_console_buffer(stand_in_console);
        std::ostream out(converter.get());
        for (std::size_t at = 0; at < cp932_bytes.size(); at += piece) {
            out << cp932_bytes.substr(at, piece) << std::flush;
        }
    }
    return console_screen;
}

TEST_F(cp932_to_console, character_split_across_two_writes_converts_whole) {
    const std::string bytes = cp932(sample_utf8);
    EXPECT_EQ(convert_in_pieces(bytes, bytes.size()), sample_wide);
    EXPECT_EQ(convert_in_pieces(bytes, 1), sample_wide);
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        console_screen.clear();
        {
            const std::unique_ptr<std::streambuf> converter =
                make_cp932_to_console_buffer(stand_in_console);
            std::ostream out(converter.get());
            out << bytes.substr(0, split) << std::flush;
            out << bytes.substr(split) << std::flush;
            EXPECT_EQ(console_screen, sample_wide) << "split after byte " << split;
        }
        EXPECT_EQ(console_screen, sample_wide) << "split after byte " << split;
    }
}

TEST_F(cp932_to_console, flush_holds_back_only_a_lone_lead_byte) {
    const std::unique_ptr<std::streambuf> converter = make_cp932_to_console_buffer(stand_in_console);
    std::ostream out(converter.get());
    const std::string kana = cp932("タ");
    out << "a" << kana.substr(0, 1) << std::flush;
    EXPECT_EQ(console_screen, L"a");
    out << kana.substr(1) << std::flush;
    EXPECT_EQ(console_screen, L"aタ");
}

TEST_F(cp932_to_console, text_longer_than_its_buffer_converts_whole) {
    // The leading ASCII byte puts double-byte characters across every
    // boundary of the internal buffer, whatever its size.
    constexpr int lines = 1000;
    std::string long_utf8 = "a";
    std::wstring long_wide = L"a";
    for (int i = 0; i < lines; ++i) {
        long_utf8 += "横幅を基準にした高さ:1600\n";
        long_wide += L"横幅を基準にした高さ:1600\n";
    }
    const std::string bytes = cp932(long_utf8);
    EXPECT_EQ(convert_in_pieces(bytes, bytes.size()), long_wide);
    EXPECT_EQ(convert_in_pieces(bytes, 7), long_wide);
}

// Every byte value on its own, followed by a line feed. Shift-JIS reads the
// ASCII bytes as themselves and 0xa1 to 0xdf as the half-width katakana from
// U+FF61; a lead byte (0x81 to 0x9f, 0xe0 to 0xfc) that a line feed follows
// is no character, nor are 0x80, 0xa0 and 0xfd to 0xff. Those must reach the
// console as U+FFFD, never as a C1 control or a private-use character, and
// the line feed must still follow.
TEST_F(cp932_to_console, every_byte_alone) {
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
            expected = replacement;
        }
        expected += L'\n';
        const std::string bytes{static_cast<char>(value), '\n'};
        EXPECT_EQ(convert_in_pieces(bytes, bytes.size()), expected) << "byte " << value;
        EXPECT_EQ(convert_in_pieces(bytes, 1), expected) << "byte " << value;
    }
}

struct invalid_case {
    const char* name;
    std::string cp932_bytes;
    std::wstring wide;
};

class invalid_bytes : public ::testing::TestWithParam<invalid_case> {};

// Each byte that cannot start or finish a character becomes one U+FFFD and
// the rest of the text still arrives, in one write or byte by byte.
TEST_P(invalid_bytes, become_replacement_characters_and_the_rest_follows) {
    const invalid_case& c = GetParam();
    EXPECT_EQ(convert_in_pieces(c.cp932_bytes, c.cp932_bytes.size()), c.wide);
    EXPECT_EQ(convert_in_pieces(c.cp932_bytes, 1), c.wide);
}

const invalid_case invalid_cases[] = {
    {"lead_byte_before_a_space", "\x83 " + cp932("ターゲット"), L"\xfffd ターゲット"},
    {"several_in_a_row", "\xfd\xfe\xff" "x", L"\xfffd\xfffd\xfffdx"},
    {"unassigned_pair", "\x85\x40" + cp932("高さ"), L"\xfffd@高さ"},
    {"lone_lead_byte_at_the_very_end", cp932("高さ") + "\x8d", L"高さ\xfffd"},
};

INSTANTIATE_TEST_SUITE_P(cp932_to_console, invalid_bytes, ::testing::ValuesIn(invalid_cases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Also when it refuses only the first write: what was pending then is
// dropped, though the console takes what comes once the stream is cleared.
TEST_F(cp932_to_console, console_that_takes_nothing_fails_the_stream_and_ends) {
    for (const int refusals : {1, std::numeric_limits<int>::max()}) {
        console_screen.clear();
        console_refusals = refusals;
        {
            const std::unique_ptr<std::streambuf> converter =
                make_cp932_to_console_buffer(stand_in_console);
            std::ostream out(converter.get());
            constexpr int attempts = 100;
            for (int i = 0; i < attempts; ++i) out << cp932(sample_utf8);
            EXPECT_TRUE(out.bad());
            out.clear();
            out << "x" << std::flush;
            EXPECT_EQ(out.bad(), refusals > 1);
        }
        EXPECT_EQ(console_screen, refusals > 1 ? L"" : L"x") << refusals;
    }
}

}  // namespace
}  // namespace kadrimo
