// Runs the whole dialogue on arbitrary bytes, with the key wait left out, and
// checks what it wrote against an independent reading of the same bytes: the
// banner and the menu come first; the run ends in either the two results or
// the invalid-input message, never both and never neither; and each printed
// result is the arithmetic of the answers that were read. Crashes, leaks and
// undefined behaviour are the sanitizers' to catch.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "cp932.hpp"
#include "dialogue.hpp"
#include "japanese.hpp"
#include "number_text.hpp"

namespace {

using kadrimo::testing::cp932;

struct expected_texts {
    std::string opening;  // banner, menu and the target prompt
    std::string invalid;
    std::string first_label;
    std::string second_label;
};

const expected_texts& texts() {
    static const expected_texts converted{
        cp932(std::string(kadrimo::testing::banner_utf8) + kadrimo::testing::menu_utf8 +
              "ターゲット:"),
        cp932("入力された値が不正です\nプログラムを終了します\n"),
        cp932("横幅を基準にした高さ:"),
        cp932("高さを基準にした横幅:"),
    };
    return converted;
}

struct preset {
    int number;
    double width;
    double height;
};

constexpr preset presets[] = {
    {0, 861, 1206}, {1, 960, 800}, {2, 480, 800}, {3, 1440, 1280}, {4, 320, 480}, {5, 640, 1136},
};
constexpr int manual_entry = 9;

struct answers {
    double target_width;
    double target_height;
    double source_width;
    double source_height;
};

std::optional<answers> with_preset(int number) {
    const auto* const row = std::ranges::find(presets, number, &preset::number);
    if (row == std::ranges::end(presets)) return std::nullopt;
    return answers{row->width, row->height, 0, 0};
}

// The answers as formatted extraction gives them: an int for the target
// number, doubles for the dimensions, nothing discarded in between. Nothing
// when one cannot be read or the target number is not in the menu.
std::optional<answers> read_answers(const std::string& input) {
    std::istringstream in(input);
    in.imbue(std::locale::classic());
    int number = 0;
    if (!(in >> number)) return std::nullopt;
    std::optional<answers> read =
        number == manual_entry ? answers{0, 0, 0, 0} : with_preset(number);
    if (!read) return std::nullopt;
    if (number == manual_entry && !(in >> read->target_width >> read->target_height)) {
        return std::nullopt;
    }
    if (!(in >> read->source_width >> read->source_height)) return std::nullopt;
    return read;
}

std::string results_text(const answers& read) {
    const double height = (read.target_height / read.target_width) * read.source_width;
    const double width = (read.target_width / read.target_height) * read.source_height;
    // Spelled as the dialogue spells them; number_text has tests of its own,
    // and the fuzzer looks at the arithmetic and the order.
    return texts().first_label + kadrimo::number_text(height) + '\n' + texts().second_label +
           kadrimo::number_text(width) + "\n\n";
}

std::size_t occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

void require(bool holds, const char* what, const std::string& output) {
    if (holds) return;
    static_cast<void>(std::fprintf(stderr, "broken: %s\noutput (%zu bytes):\n%s\n", what,
                                   output.size(), output.c_str()));
    std::abort();
}

void no_wait(std::istream& /*in*/, std::ostream& /*out*/) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::ostringstream out;
    const int status = kadrimo::run_dialogue(in, out, no_wait);
    const std::string output = out.str();

    require(status == 0, "the exit status is 0 on every path", output);
    require(output.starts_with(texts().opening), "banner, menu and prompt come first", output);
    const std::size_t invalid = occurrences(output, texts().invalid);
    const std::size_t first = occurrences(output, texts().first_label);
    const std::size_t second = occurrences(output, texts().second_label);

    const std::optional<answers> read = read_answers(input);
    if (read) {
        require(invalid == 0 && first == 1 && second == 1, "results alone, once", output);
        require(output.ends_with(results_text(*read)), "results are the answers' arithmetic",
                output);
    } else {
        require(invalid == 1 && first == 0 && second == 0, "invalid message alone, once", output);
        require(output.ends_with(texts().invalid), "the run ends with the invalid message",
                output);
    }
    return 0;
}
