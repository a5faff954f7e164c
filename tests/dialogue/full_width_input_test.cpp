#include <gtest/gtest.h>

#include <streambuf>
#include <string>
#include <utility>

#include "cp932.hpp"
#include "full_width_input.hpp"

// What an input method types for a number must read as the ASCII it shows,
// and every other character must pass whole and unchanged. The full-width
// texts are written here in UTF-8 and converted to Shift-JIS by the
// platform's converter.

namespace kadrimo {
namespace {

using testing::cp932;

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

// The characters the buffer offers, each read whole, with a bar between two.
std::string characters_read(std::streambuf& source, input_encoding encoding) {
    full_width_buffer translated(source, encoding);
    std::string read;
    while (translated.sgetc() != std::streambuf::traits_type::eof()) {
        std::string character(static_cast<std::size_t>(translated.in_avail()), '\0');
        translated.sgetn(character.data(), static_cast<std::streamsize>(character.size()));
        read += (read.empty() ? "" : "|") + character;
    }
    return read;
}

struct reading_case {
    input_encoding encoding;
    std::string bytes;
    std::string characters;
};

const std::string every_form = "０１２３４５６７８９．－＋Ｅｅ　";
const std::string every_form_read = "0|1|2|3|4|5|6|7|8|9|.|-|+|E|e| ";

TEST(full_width_input, reads_each_character_whole_and_the_forms_as_ascii) {
    using enum input_encoding;
    const reading_case cases[] = {
        {utf8, every_form, every_form_read},
        {shift_jis, cp932(every_form), every_form_read},
        // Three-byte leads E0-EF take continuations 80-BF, and nothing else.
        {utf8, "\xe0\x80\x80\xef\xbf\xbf", "\xe0\x80\x80|\xef\xbf\xbf"},
        {utf8, "\xdf\xbf\xf0\x80\xef\x7f\xef\xc0", "\xdf|\xbf|\xf0|\x80|\xef|\x7f|\xef|\xc0"},
        {utf8, "\xef\xbc" "1\xef", "\xef\xbc|1|\xef"},
        {utf8, cp932("１"), "\x82|P"},
        // Lead bytes 81-9F and E0-FC take the next byte, whatever it is.
        {shift_jis, "\x80" "A\x9f" "A\xa0" "A\xdf" "A\xe0" "A\xfc" "A\xfd" "A",
         "\x80|A|\x9f" "A|\xa0|A|\xdf|A|\xe0" "A|\xfc" "A|\xfd|A"},
        {shift_jis, "\x82\x82\x4f\x82", "\x82\x82|O|\x82"},
    };
    for (const reading_case& c : cases) {
        std::stringbuf whole(c.bytes);
        EXPECT_EQ(characters_read(whole, c.encoding), c.characters) << c.characters;
        byte_at_a_time split(c.bytes);
        EXPECT_EQ(characters_read(split, c.encoding), c.characters) << c.characters << ", split";
    }
}

}  // namespace
}  // namespace kadrimo
