#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console_input_windows.hpp"

namespace kadrimo {
namespace {

// The console stand-in: the lines typed, each in as many reads as it needs,
// then the end. A read that starts a line (or meets the end) puts '|' in what
// the buffer hands on, so a line held back until the next one shows.
std::vector<std::wstring> console_lines;
std::size_t line_number = 0;
std::size_t offset = 0;
std::string handed_on;

std::size_t stand_in_console(wchar_t* text, std::size_t size) {
    if (offset == 0) handed_on += '|';
    if (line_number >= console_lines.size()) return 0;
    const std::wstring& line = console_lines[line_number];
    const std::size_t count = std::min(line.size() - offset, size);
    std::memcpy(text, line.data() + offset, count * sizeof(wchar_t));
    offset += count;
    if (offset == line.size()) {
        ++line_number;
        offset = 0;
    }
    return count;
}

struct console_case {
    const char* name;
    std::vector<std::wstring> lines;
    std::string bytes;  // the compiler's own UTF-8 for the same characters
};

class console_input : public ::testing::TestWithParam<console_case> {};

TEST_P(console_input, hands_on_what_was_typed_as_utf8) {
    const console_case& c = GetParam();
    console_lines = c.lines;
    line_number = offset = 0;
    handed_on.clear();
    const std::unique_ptr<std::streambuf> buffer = make_console_input_buffer(stand_in_console);
    for (int next = buffer->sbumpc(); next != EOF; next = buffer->sbumpc()) {
        handed_on += static_cast<char>(next);
    }
    EXPECT_EQ(handed_on, c.bytes);
}

// Lines as long as one read takes, of the character longest in UTF-8.
const std::wstring long_line(256, L'\xff11');
std::string long_line_bytes(std::size_t length) {
    std::string bytes;
    while (length-- > 0) bytes += "\xef\xbc\x91";
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    console_input, console_input,
    ::testing::Values(
        console_case{"full_width_answers", {L"１９２０\r\n", L"1080\r\n"},
                     "|１９２０\r\n|1080\r\n|"},
        console_case{"ctrl_z_ends_where_typed", {L"12\x1a" L"34\r\n", L"56\r\n"}, "|12"},
        console_case{"ctrl_z_alone", {L"\x1a\r\n", L"56\r\n"}, "|"},
        console_case{"characters_split_between_reads",
                     {L"a\xd83d", L"\xde00\xd800", L"\xdc00\xdbff", L"\xdfff" L"b"},
                     "|a|\xf0\x9f\x98\x80|\xf0\x90\x80\x80|\xf4\x8f\xbf\xbf" "b|"},
        console_case{"long_lines", {long_line, L"\xd83d", L"\xde00" + long_line.substr(1)},
                     std::string("|") + long_line_bytes(256) + "||\xf0\x9f\x98\x80" +
                         long_line_bytes(255) + "|"},
        console_case{"broken_character_at_the_end", {L"a\xd83d"}, "|a|\xef\xbf\xbd"}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace kadrimo
