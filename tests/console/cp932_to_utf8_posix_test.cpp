#include <gtest/gtest.h>
#include <malloc.h>

#include <limits>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "cp932.hpp"
#include "cp932_to_utf8_posix.hpp"
#include "refusing_target.hpp"

namespace kadrimo {
namespace {

using testing::cp932;
using testing::refusing_target;

// Kana, kanji, the multiplication sign, ideographic spaces, ASCII and line
// feeds: every kind of byte the dialogue writes.
const std::string sample_utf8 =
    "kadrimo from もくれぴぽ Ver0.2\n\n2:       　　(480×800) \nターゲット:";
const std::string replacement = "\xef\xbf\xbd";

// Remembers what reached it and how often it was asked to flush.
struct recording_target : std::stringbuf {
    int syncs = 0;
    int sync_result = 0;
    int sync() override {
        ++syncs;
        return sync_result;
    }
};

std::string convert_in_pieces(const std::string& cp932_bytes, std::size_t piece) {
    recording_target target;
    {
        const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
        std::ostream out(converter.get());
        for (std::size_t at = 0; at < cp932_bytes.size(); at += piece) {
            out << cp932_bytes.substr(at, piece) << std::flush;
        }
    }
    return target.str();
}

TEST(cp932_to_utf8, character_split_across_two_writes_converts_whole) {
    const std::string bytes = cp932(sample_utf8);
    for (std::size_t split = 1; split < bytes.size(); ++split) {
        recording_target target;
        {
            const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
            std::ostream out(converter.get());
            out << bytes.substr(0, split) << std::flush;
            out << bytes.substr(split) << std::flush;
            EXPECT_EQ(target.str(), sample_utf8) << "split after byte " << split;
        }
        EXPECT_EQ(target.str(), sample_utf8) << "split after byte " << split;
    }
}

TEST(cp932_to_utf8, flush_holds_back_only_a_lone_lead_byte) {
    recording_target target;
    const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
    std::ostream out(converter.get());
    const std::string kana = cp932("タ");
    out << "a" << kana.substr(0, 1) << std::flush;
    EXPECT_EQ(target.str(), "a");
    EXPECT_EQ(target.syncs, 1);
    out << kana.substr(1) << std::flush;
    EXPECT_EQ(target.str(), "aタ");
    EXPECT_EQ(target.syncs, 2);
}

TEST(cp932_to_utf8, text_longer_than_its_buffer_converts_whole) {
    // The leading ASCII byte puts double-byte characters across every
    // boundary of the internal buffer, whatever its size; half-width kana
    // grow to three bytes each, more than any buffer of converted bytes
    // twice the size of the pending ones holds.
    constexpr int lines = 1000;
    std::string long_utf8 = "a";
    for (int i = 0; i < lines; ++i) long_utf8 += "ﾀｰｹﾞｯﾄｦｾﾝﾀｸ横:1600\n";
    const std::string bytes = cp932(long_utf8);
    EXPECT_EQ(convert_in_pieces(bytes, bytes.size()), long_utf8);
    EXPECT_EQ(convert_in_pieces(bytes, 7), long_utf8);
}

struct invalid_case {
    const char* name;
    std::string cp932_bytes;
    std::string utf8;
};

class invalid_bytes : public ::testing::TestWithParam<invalid_case> {};

// Each byte that cannot start or finish a character becomes one U+FFFD and
// the rest of the text still arrives, in one write or byte by byte.
TEST_P(invalid_bytes, become_replacement_characters_and_the_rest_follows) {
    const invalid_case& c = GetParam();
    EXPECT_EQ(convert_in_pieces(c.cp932_bytes, c.cp932_bytes.size()), c.utf8);
    EXPECT_EQ(convert_in_pieces(c.cp932_bytes, 1), c.utf8);
}

const invalid_case invalid_cases[] = {
    {"byte_that_starts_nothing", "a\x80" "b", "a" + replacement + "b"},
    {"lead_byte_before_a_space", "\x83 " + cp932("ターゲット"), replacement + " ターゲット"},
    {"lead_byte_before_a_line_feed", cp932("横") + "\x89\n", "横" + replacement + "\n"},
    {"several_in_a_row", "\xfd\xfe\xff" "x", replacement + replacement + replacement + "x"},
    {"lone_lead_byte_at_the_very_end", cp932("高さ") + "\x8d", "高さ" + replacement},
};

INSTANTIATE_TEST_SUITE_P(cp932_to_utf8, invalid_bytes, ::testing::ValuesIn(invalid_cases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(cp932_to_utf8, flush_reports_a_failing_target) {
    recording_target target;
    target.sync_result = -1;
    const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
    std::ostream out(converter.get());
    out << "x" << std::flush;
    EXPECT_TRUE(out.bad());
    EXPECT_EQ(target.str(), "x");
}

// Also when all it refuses is the replacement for an invalid byte. What was
// pending when a write failed is dropped, even if the target would take it
// later.
TEST(cp932_to_utf8, target_that_takes_nothing_fails_the_stream_and_ends) {
    for (const std::string& bytes : {cp932(sample_utf8), std::string("\x80")}) {
        for (const int refusals : {1, std::numeric_limits<int>::max()}) {
            refusing_target target;
            target.refusals = refusals;
            {
                const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
                std::ostream out(converter.get());
                constexpr int attempts = 100;
                for (int i = 0; i < attempts; ++i) out << bytes;
                out << std::flush;
                EXPECT_TRUE(out.bad()) << bytes;
            }
            EXPECT_EQ(target.str(), "") << bytes;
        }
    }
}

// What the system's iconv takes for a converter is given back with it.
TEST(cp932_to_utf8, leaves_no_memory_behind) {
    recording_target target;
    make_cp932_to_utf8_buffer(target);  // loads the conversion module once
    const std::size_t before = mallinfo2().uordblks;
    constexpr int converters = 100;
    for (int i = 0; i < converters; ++i) make_cp932_to_utf8_buffer(target);
    EXPECT_EQ(mallinfo2().uordblks, before);
}

}  // namespace
}  // namespace kadrimo
