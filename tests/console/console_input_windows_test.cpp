#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "console_input_windows.hpp"

namespace kadrimo {
namespace {

// The console stand-in: one line of typing per read, then the end; how many
// times it was read, the end included.
std::vector<std::wstring> console_lines;
std::size_t reads = 0;

std::size_t stand_in_console(wchar_t* text, std::size_t size) {
    const std::size_t line_number = reads++;
    if (line_number >= console_lines.size()) return 0;
    const std::wstring& line = console_lines[line_number];
    const std::size_t count = line.size() < size ? line.size() : size;
    std::memcpy(text, line.data(), count * sizeof(wchar_t));
    return count;
}

struct console_case {
    const char* name;
    std::vector<std::wstring> lines;
    std::string bytes;  // the compiler's own UTF-8 for the same characters
    std::size_t reads;
};

class console_input : public ::testing::TestWithParam<console_case> {};

TEST_P(console_input, hands_on_what_was_typed_as_utf8) {
    const console_case& c = GetParam();
    console_lines = c.lines;
    reads = 0;
    const std::unique_ptr<std::streambuf> buffer = make_console_input_buffer(stand_in_console);
    const std::string read(std::istreambuf_iterator<char>(buffer.get()), {});
    EXPECT_EQ(read, c.bytes);
    EXPECT_EQ(reads, c.reads);
}

INSTANTIATE_TEST_SUITE_P(
    console_input, console_input,
    ::testing::Values(
        console_case{"full_width_answers", {L"１９２０\r\n", L"1080\r\n"},
                     "１９２０\r\n1080\r\n", 3},
        console_case{"ctrl_z_ends_where_typed", {L"12\x1a" L"34\r\n", L"56\r\n"}, "12", 1},
        console_case{"ctrl_z_alone", {L"\x1a\r\n", L"56\r\n"}, "", 1},
        console_case{"character_split_between_reads", {L"a\xd83d", L"\xde00" L"b"},
                     "a\xf0\x9f\x98\x80" "b", 3},
        console_case{"broken_character_at_the_end", {L"a\xd83d"}, "a\xef\xbf\xbd", 2}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace kadrimo
