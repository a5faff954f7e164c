#include "dialogue.hpp"

#include <istream>
#include <optional>
#include <ostream>

#include "answer_reading.hpp"
#include "catalogue.hpp"
#include "number_text.hpp"
#include "scaling.hpp"
#include "texts.hpp"

namespace kadrimo {
namespace {

struct dimensions {
    double width;
    double height;
};

void write_menu(std::ostream& out) {
    out << texts::menu_heading;
    for (const target_format& row : target_catalogue()) {
        if (row.menu_line != nullptr) out << row.menu_line;
    }
}

// An answer that cannot be read (letters, end of input, out of range, too
// long) yields nothing, and the run then ends as for an invalid target
// number. The line the answer was typed on is ended first, as after the
// target number.
std::optional<double> read_dimension(std::istream& in, std::ostream& out) {
    double value{};
    if (read_answer(in, value)) return value;
    out << texts::line_end;
    return std::nullopt;
}

std::optional<int> read_target_number(std::istream& in) {
    int value{};
    if (read_answer(in, value)) return value;
    return std::nullopt;
}

// A width and a height, each asked for by its own prompt.
std::optional<dimensions> read_pair(std::istream& in, std::ostream& out, const char* width_prompt,
                                    const char* height_prompt) {
    out << width_prompt;
    const std::optional<double> width = read_dimension(in, out);
    if (!width) return std::nullopt;
    out << height_prompt;
    const std::optional<double> height = read_dimension(in, out);
    if (!height) return std::nullopt;
    return dimensions{*width, *height};
}

std::optional<dimensions> read_manual_target(std::istream& in, std::ostream& out) {
    const std::optional<dimensions> target =
        read_pair(in, out, texts::manual_width_prompt, texts::manual_height_prompt);
    if (target) out << texts::line_end;
    return target;
}

std::optional<dimensions> read_target(std::istream& in, std::ostream& out) {
    out << texts::target_prompt;
    const std::optional<int> number = read_target_number(in);
    out << texts::line_end;
    const resolved_target target =
        number ? resolve_target(*number) : resolved_target{target_kind::invalid, 0.0, 0.0};
    switch (target.kind) {
        case target_kind::preset:
            return dimensions{target.width, target.height};
        case target_kind::manual:
            return read_manual_target(in, out);
        case target_kind::invalid:
            break;
    }
    return std::nullopt;
}

std::optional<dimensions> read_source(std::istream& in, std::ostream& out) {
    return read_pair(in, out, texts::source_width_prompt, texts::source_height_prompt);
}

void write_results(std::ostream& out, dimensions target, dimensions source) {
    out << texts::line_end;
    out << texts::first_result_label
        << number_text(height_for_width(target.width, target.height, source.width)) << std::endl;
    out << texts::second_result_label
        << number_text(width_for_height(target.width, target.height, source.height)) << std::endl;
    out << texts::line_end;
}

}  // namespace

void wait_for_next_byte(std::istream& in, std::ostream& out) {
    out << texts::key_wait_prompt << std::flush;
    // The stream's own buffer may already hold the rest of the input.
    in.rdbuf()->sbumpc();
    out << texts::line_end << std::flush;
}

int run_dialogue(std::istream& in, std::ostream& out, key_wait wait, target_seen seen) {
    // Answers are read and results spelled by the program itself, never by
    // the streams' locale, so the caller's locale changes nothing.
    // Every prompt must be on screen before the answer is read.
    in.tie(&out);

    out << texts::banner;
    write_menu(out);

    const std::optional<dimensions> target = read_target(in, out);
    if (target && seen != nullptr) seen(target->width, target->height);
    const std::optional<dimensions> source = target ? read_source(in, out) : std::nullopt;
    if (target && source) {
        write_results(out, *target, *source);
    } else {
        out << texts::invalid_input;
    }
    out.flush();
    wait(in, out);
    return 0;
}

}  // namespace kadrimo
