#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cp932.hpp"
#include "dialogue.hpp"
#include "japanese.hpp"
#include "recording_wait.hpp"

namespace kadrimo {
namespace {

using testing::cp932;
using testing::recording_wait;

struct run_result {
    int status;
    std::string output;
};

run_result run(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    const int status = run_dialogue(in, out, recording_wait);
    return {status, out.str()};
}

const std::string opening = cp932(std::string(testing::banner_utf8) + testing::menu_utf8);

struct dialogue_case {
    const char* name;
    const char* input;
    const char* expected_after_menu;  // UTF-8 Japanese, converted for comparison
};

class whole_run : public ::testing::TestWithParam<dialogue_case> {};

TEST_P(whole_run, writes_exactly_the_expected_bytes) {
    const dialogue_case& c = GetParam();
    const run_result result = run(c.input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, opening + cp932(c.expected_after_menu));
}

const dialogue_case runs[] = {
    {"preset_one", "1\n1920\n1080\n",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:1600\n高さを基準にした横幅:1296\n\n[wait:\n]"},
    {"sleeve", "0\n640\n960\n",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:896.446\n高さを基準にした横幅:685.373\n\n[wait:\n]"},
    {"unlisted_five", "5\n569\n1920\n",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:1009.97\n高さを基準にした横幅:1081.69\n\n[wait:\n]"},
    {"manual_like_sleeve", "9\n861\n1206\n640\n960\n",
     "ターゲット:\n目標の横幅を入力\n目標の高さを入力\n\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:896.446\n高さを基準にした横幅:685.373\n\n[wait:\n]"},
    {"nine_point_five_leaves_half_for_width", "9.5 2 100 100",
     "ターゲット:\n目標の横幅を入力\n目標の高さを入力\n\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:400\n高さを基準にした横幅:25\n\n[wait:]"},
    {"invalid_six", "6\n1920\n1080\n",
     "ターゲット:\n入力された値が不正です\nプログラムを終了します\n[wait:\n1920\n1080\n]"},
    {"zero_source", "1 0 0",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:0\n高さを基準にした横幅:0\n\n[wait:]"},
    {"negative_manual_target_gives_minus_zero", "9 -960 800 0 0",
     "ターゲット:\n目標の横幅を入力\n目標の高さを入力\n\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:-0\n高さを基準にした横幅:-0\n\n[wait:]"},
    {"negative_source", "1 -1920 -1080",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:-1600\n高さを基準にした横幅:-1296\n\n[wait:]"},
    {"tiny_and_huge_use_exponents", "1 0.000096 1e300",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:8e-05\n高さを基準にした横幅:1.2e+300\n\n[wait:]"},
    {"leftover_byte_is_the_key", "1 1920 1080xyz",
     "ターゲット:\n横幅を入力:高さを入力:\n"
     "横幅を基準にした高さ:1600\n高さを基準にした横幅:1296\n\n[wait:xyz]"},
};

std::string case_name(const ::testing::TestParamInfo<dialogue_case>& param_info) {
    return param_info.param.name;
}

INSTANTIATE_TEST_SUITE_P(dialogue, whole_run, ::testing::ValuesIn(runs),
                         case_name);

// Answers that cannot be read end the run like an invalid target number,
// and nothing computed from them is printed.
const dialogue_case unreadable[] = {
    {"letters_for_target", "abc\n",
     "ターゲット:\n入力された値が不正です\nプログラムを終了します\n[wait:abc\n]"},
    {"no_input_at_all", "", "ターゲット:\n入力された値が不正です\nプログラムを終了します\n[wait:]"},
    {"letters_for_width", "1\nwide\n1080\n",
     "ターゲット:\n横幅を入力:\n入力された値が不正です\nプログラムを終了します\n[wait:wide\n1080\n]"},
    {"end_after_width", "1 1920",
     "ターゲット:\n横幅を入力:高さを入力:\n入力された値が不正です\nプログラムを終了します\n[wait:]"},
    {"letters_for_manual_width", "9 x",
     "ターゲット:\n目標の横幅を入力\n\n入力された値が不正です\nプログラムを終了します\n[wait:x]"},
    {"end_after_manual_width", "9 640",
     "ターゲット:\n目標の横幅を入力\n目標の高さを入力\n\n入力された値が不正です\nプログラムを終了します\n[wait:]"},
};

INSTANTIATE_TEST_SUITE_P(unreadable, whole_run, ::testing::ValuesIn(unreadable),
                         case_name);

// An answer may be 4,096 characters long, whether it is read as an int or a
// double; one character more makes it unreadable, and nothing after that
// character has been read when the run ends.
TEST(dialogue, answers_are_read_up_to_4096_characters) {
    const char* results =
        "ターゲット:\n横幅を入力:高さを入力:\n"
        "横幅を基準にした高さ:1600\n高さを基準にした横幅:1296\n\n[wait:]";
    const struct {
        std::string input;
        const char* expected_after_menu;
    } cases[] = {
        {std::string(4095, '0') + "1 1920 1080", results},
        {std::string(4096, '0') + "1 1920 1080",
         "ターゲット:\n入力された値が不正です\nプログラムを終了します\n[wait: 1920 1080]"},
        {"1 " + std::string(4092, '0') + "1920 1080", results},
        {"1 " + std::string(4093, '0') + "1920 1080",
         "ターゲット:\n横幅を入力:\n入力された値が不正です\nプログラムを終了します\n[wait: 1080]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.input).output, opening + cp932(c.expected_after_menu)) << c.input.size();
    }
}

// Input, height and width of runs beyond the ordinary double range, alike in
// every build; worked out with IEEE double arithmetic, each operation rounded.
TEST(dialogue, extreme_runs) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // 1e300 / 1e-10 overflows to infinity before the product could bring
        // it back; 1e-10 / 1e300 is subnormal and keeps fewer digits, so the
        // second result is not 1e-310 but what the rounded quotient gives.
        {"9 1e-10 1e300 1e-300 1", "inf", "1e-310"},
        {"9 1e-20 1e300 1 1e10", "inf", "9.99989e-311"},
        {"9 1e300 1e-20 1e10 1", "9.99989e-311", "inf"},
        // Infinity times zero: the processor's default not-a-number, whose
        // sign bit x86 sets and ARM and WebAssembly clear; it reads the same.
        {"9 0 800 0 0", "nan", "0"},
        {"9 0 800 1920 1080", "inf", "0"},
        {"9 -0 800 1920 1080", "-inf", "-0"},
        {"1 4.9e-324 1e308", "4.94066e-324", "1.2e+308"},
        {"1 2.4703282292062328e-324 1e-400", "4.94066e-324", "0"},
        {"1 1.7976931348623157e308 -1.7976931348623157e308", "1.49808e+308", "-inf"},
    };
    for (const auto& [input, height, width] : cases) {
        const std::string results = cp932(std::string("横幅を基準にした高さ:") + height +
                                          "\n高さを基準にした横幅:" + width + "\n\n[wait:]");
        EXPECT_TRUE(run(input).output.ends_with(results)) << input;
    }
}

// The target a run resolves, as the front end is told it; an invalid one
// is never told.
std::vector<std::pair<double, double>> seen_targets;
void record_target(double width, double height) { seen_targets.emplace_back(width, height); }

TEST(dialogue, tells_the_target_it_resolved) {
    const std::pair<const char*, std::vector<std::pair<double, double>>> cases[] = {
        {"0 1920 1080", {{861, 1206}}}, {"1 1920 1080", {{960, 800}}}, {"5 1 1", {{640, 1136}}},
        {"9 1e3 2.5 1 1", {{1000, 2.5}}}, {"9 1e3 x", {}}, {"6 1 1", {}}, {"x", {}}};
    for (const auto& [input, targets] : cases) {
        seen_targets.clear();
        std::istringstream in(input);
        std::ostringstream out;
        run_dialogue(in, out, recording_wait, record_target);
        EXPECT_EQ(seen_targets, targets) << input;
    }
}

TEST(dialogue, decimal_comma_locale_of_the_caller_is_ignored) {
    std::istringstream in("1 1920.5 1080");
    std::ostringstream out;
    struct comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale with_comma(std::locale::classic(), new comma);
    in.imbue(with_comma);
    out.imbue(with_comma);
    run_dialogue(in, out, recording_wait);
    EXPECT_NE(out.str().find(cp932("横幅を基準にした高さ:1600.42\n")), std::string::npos);
}

}  // namespace
}  // namespace kadrimo
