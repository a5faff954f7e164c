#pragma once

// What each platform's Shift-JIS converter must do, whatever it converts
// to: one body of tests, run against the converter of the platform the
// tests are built for. `screen` is that platform's stand-in target:
//   static std::unique_ptr<std::streambuf> converter() a converter in front
//       of a screen wiped clean that takes every write;
//   static void refuse(int writes) has it refuse that many writes first;
//   static std::string shown() is what reached it, in UTF-8.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <ostream>
#include <string>

#include "cp932.hpp"

namespace kadrimo {

using testing::cp932;

// Kana, kanji, the multiplication sign, ideographic spaces, ASCII and line
// feeds: every kind of byte the dialogue writes.
inline const std::string cp932_sample_utf8 =
    "kadrimo from もくれぴぽ Ver0.2\n\n2:       　　(480×800) \nターゲット:";
inline const std::string replacement_utf8 = "\xef\xbf\xbd";

template <class screen>
std::string convert_in_pieces(const std::string& cp932_bytes, std::size_t piece) {
    {
        const std::unique_ptr<std::streambuf> converter = screen::converter();
        std::ostream out(converter.get());
        for (std::size_t at = 0; at < cp932_bytes.size(); at += piece) {
            out << cp932_bytes.substr(at, piece) << std::flush;
        }
    }
    return screen::shown();
}

template <class screen>
class cp932_buffer : public ::testing::Test {};
TYPED_TEST_SUITE_P(cp932_buffer);

TYPED_TEST_P(cp932_buffer, character_split_across_two_writes_converts_whole) {
    const std::string bytes = cp932(cp932_sample_utf8);
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        {
            const std::unique_ptr<std::streambuf> converter = TypeParam::converter();
            std::ostream out(converter.get());
            out << bytes.substr(0, split) << std::flush;
            out << bytes.substr(split) << std::flush;
            EXPECT_EQ(TypeParam::shown(), cp932_sample_utf8) << "split after byte " << split;
        }
        EXPECT_EQ(TypeParam::shown(), cp932_sample_utf8) << "split after byte " << split;
    }
}

TYPED_TEST_P(cp932_buffer, flush_holds_back_only_a_lone_lead_byte) {
    const std::unique_ptr<std::streambuf> converter = TypeParam::converter();
    std::ostream out(converter.get());
    const std::string kana = cp932("タ");
    out << "a" << kana.substr(0, 1) << std::flush;
    EXPECT_EQ(TypeParam::shown(), "a");
    out << kana.substr(1) << std::flush;
    EXPECT_EQ(TypeParam::shown(), "aタ");
}

TYPED_TEST_P(cp932_buffer, text_longer_than_its_buffer_converts_whole) {
    // The leading ASCII byte puts double-byte characters across every
    // boundary of the internal buffer, whatever its size; the half-width
    // kana grow to three bytes each in UTF-8, more than any buffer of
    // converted bytes twice the size of the pending ones holds.
    constexpr int lines = 1000;
    std::string long_utf8 = "a";
    for (int i = 0; i < lines; ++i) long_utf8 += "ﾀｰｹﾞｯﾄｦｾﾝﾀｸ横:1600\n";
    for (int i = 0; i < lines; ++i) long_utf8 += "横幅を基準にした高さ:1600\n";
    const std::string bytes = cp932(long_utf8);
    EXPECT_EQ(convert_in_pieces<TypeParam>(bytes, bytes.size()), long_utf8);
    EXPECT_EQ(convert_in_pieces<TypeParam>(bytes, 7), long_utf8);
}

// Each byte that cannot start or finish a character becomes one U+FFFD and
// the rest of the text still arrives, in one write or byte by byte.
TYPED_TEST_P(cp932_buffer, invalid_bytes_become_replacement_characters_and_the_rest_follows) {
    const std::string& r = replacement_utf8;
    const struct {
        std::string cp932_bytes;
        std::string utf8;
    } cases[] = {
        {"a\x80" "b", "a" + r + "b"},                                // starts nothing
        {"\x83 " + cp932("ターゲット"), r + " ターゲット"},          // a lead byte before a space
        {cp932("横") + "\x89\n", "横" + r + "\n"},                   // ... before a line feed
        {"\xfd\xfe\xff" "x", r + r + r + "x"},                      // several in a row
        {"\x85\x40" + cp932("高さ"), r + "@高さ"},                   // an unassigned pair
        {cp932("高さ") + "\x8d", "高さ" + r},                        // a lone lead byte at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convert_in_pieces<TypeParam>(c.cp932_bytes, c.cp932_bytes.size()), c.utf8);
        EXPECT_EQ(convert_in_pieces<TypeParam>(c.cp932_bytes, 1), c.utf8);
    }
}

template <class screen>
void write_to_a_refusing_screen(const std::string& bytes, int refusals) {
    {
        const std::unique_ptr<std::streambuf> converter = screen::converter();
        screen::refuse(refusals);
        std::ostream out(converter.get());
        constexpr int attempts = 100;
        for (int i = 0; i < attempts; ++i) out << bytes;
        out << std::flush;
        EXPECT_TRUE(out.bad()) << bytes;
        out.clear();
        out << "x" << std::flush;
        EXPECT_EQ(out.bad(), refusals > 1);
    }
    EXPECT_EQ(screen::shown(), refusals > 1 ? "" : "x") << bytes << refusals;
}

// Also when all it refuses is the replacement for an invalid byte, or only
// its first write: what was pending then is dropped, though the target takes
// what comes once the stream is cleared.
TYPED_TEST_P(cp932_buffer, target_that_takes_nothing_fails_the_stream_and_ends) {
    for (const std::string& bytes : {cp932(cp932_sample_utf8), std::string("\x80")}) {
        for (const int refusals : {1, std::numeric_limits<int>::max()}) {
            write_to_a_refusing_screen<TypeParam>(bytes, refusals);
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(cp932_buffer, character_split_across_two_writes_converts_whole,
                            flush_holds_back_only_a_lone_lead_byte,
                            text_longer_than_its_buffer_converts_whole,
                            invalid_bytes_become_replacement_characters_and_the_rest_follows,
                            target_that_takes_nothing_fails_the_stream_and_ends);

}  // namespace kadrimo
