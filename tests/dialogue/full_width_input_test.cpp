#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

#include "cp932.hpp"
#include "dialogue.hpp"
#include "full_width_input.hpp"
#include "recording_wait.hpp"

// Answers typed with a Japanese input method on, read through the translation
// in front of standard input, must give the very transcript that the same
// answers typed in ASCII give. The full-width texts are written here in UTF-8
// and converted to Shift-JIS by the platform's converter.

namespace kadrimo {
namespace {

using testing::cp932;
using testing::recording_wait;

// Hands out one byte per read, as a terminal or a pipe may, so every
// multi-byte character arrives split.
class byte_at_a_time final : public std::streambuf {
public:
    explicit byte_at_a_time(std::string bytes) : bytes_(std::move(bytes)) {}

protected:
    int_type underflow() override {
        if (next_ == bytes_.size()) return traits_type::eof();
        setg(&bytes_[next_], &bytes_[next_], &bytes_[next_] + 1);
        ++next_;
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string bytes_;
    std::size_t next_ = 0;
};

std::string transcript_of_ascii(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    run_dialogue(in, out, recording_wait);
    return out.str();
}

std::string transcript_through_translation(std::streambuf& source, input_encoding encoding) {
    full_width_buffer translated(source, encoding);
    std::istream in(&translated);
    std::ostringstream out;
    run_dialogue(in, out, recording_wait);
    return out.str();
}

std::string transcript_of(const std::string& bytes, input_encoding encoding, bool split) {
    if (split) {
        byte_at_a_time source(bytes);
        return transcript_through_translation(source, encoding);
    }
    std::stringbuf source(bytes);
    return transcript_through_translation(source, encoding);
}

struct typed_case {
    const char* full_width;  // UTF-8
    const char* ascii;
};

TEST(full_width_input, reads_as_the_ascii_it_shows_in_both_encodings) {
    const typed_case cases[] = {
        {"１　１９２０　１０８０", "1 1920 1080"},
        {"９\n８６１\n１２０６\n６４０\n９６０\n", "9\n861\n1206\n640\n960\n"},
        {"９．５　２　１００　１００", "9.5 2 100 100"},
        {"５　－５６９．５ｅ＋０　＋１９２０Ｅ－０", "5 -569.5e+0 +1920E-0"},
        {"１ 1920　１０８０x", "1 1920 1080x"},
        {"１　１ｅ　５", "1 1e 5"},
        {"１　１９２０　－", "1 1920 -"},
    };
    for (const typed_case& c : cases) {
        const std::string expected = transcript_of_ascii(c.ascii);
        for (const bool split : {false, true}) {
            EXPECT_EQ(transcript_of(c.full_width, input_encoding::utf8, split), expected)
                << c.ascii << " in UTF-8, split " << split;
            EXPECT_EQ(transcript_of(cp932(c.full_width), input_encoding::shift_jis, split),
                      expected)
                << c.ascii << " in Shift-JIS, split " << split;
        }
    }
}

struct unreadable_case {
    const char* name;
    std::string bytes;
    input_encoding encoding;
};

// Broken characters, and Shift-JIS read as UTF-8, stay unreadable: each run
// ends as the same answers with a letter in their place would.
TEST(full_width_input, broken_characters_stay_unreadable) {
    const std::string width_unreadable = transcript_of_ascii("1 x");
    const unreadable_case cases[] = {
        {"utf8_cut_short", "1 \xef\xbc" "1920 1080", input_encoding::utf8},
        {"utf8_without_lead", "1 \xbc\x91" "920 1080", input_encoding::utf8},
        {"utf8_lead_at_end", "1 \xef", input_encoding::utf8},
        {"utf8_overlong", "1 \xf0\x8f\xbc\x91" "920 1080", input_encoding::utf8},
        {"shift_jis_read_as_utf8", "1 " + cp932("１９２０"), input_encoding::utf8},
        {"shift_jis_lead_at_end", "1 \x82", input_encoding::shift_jis},
    };
    for (const unreadable_case& c : cases) {
        std::string transcript = transcript_of(c.bytes, c.encoding, true);
        // What the wait found left is the broken bytes' business, not the answers'.
        transcript.erase(transcript.find("[wait:"));
        EXPECT_EQ(transcript, width_unreadable.substr(0, width_unreadable.find("[wait:")))
            << c.name;
    }
}

}  // namespace
}  // namespace kadrimo
