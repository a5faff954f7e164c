#include "dialogue.hpp"

#include <istream>
#include <locale>
#include <optional>
#include <ostream>
#include <streambuf>

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
    out << menu_heading;
    for (const target_format& row : target_catalogue()) {
        if (row.menu_line != nullptr) out << row.menu_line;
    }
}

// Formatted extraction keeps every character of a number until the number
// ends, so an endless one would take all memory: no answer may run past this.
constexpr std::streamsize longest_answer = 4096;

// The stream's buffer as extraction sees it, cut off after `limit`
// characters. It holds nothing itself, so what extraction leaves stays in
// the buffer for the next read.
class limited_view final : public std::streambuf {
public:
    limited_view(std::streambuf& source, std::streamsize limit) : source_(source), left_(limit) {}
    [[nodiscard]] bool used_up() const { return left_ == 0; }

protected:
    int_type underflow() override { return left_ == 0 ? traits_type::eof() : source_.sgetc(); }

    int_type uflow() override {
        if (left_ == 0) return traits_type::eof();
        const int_type next = source_.sbumpc();
        if (!traits_type::eq_int_type(next, traits_type::eof())) --left_;
        return next;
    }

private:
    std::streambuf& source_;
    std::streamsize left_;
};

// One answer, by the stream's own extraction rules. An answer that runs past
// the longest is unreadable, and nothing beyond its first longest_answer + 1
// characters has been read.
template <typename number>
bool read_answer(std::istream& in, number& value) {
    if (!(in >> std::ws)) return false;
    limited_view view(*in.rdbuf(), longest_answer + 1);
    std::istream limited(&view);
    limited.imbue(in.getloc());
    limited.flags(in.flags());
    limited >> value;
    if (limited.fail() || view.used_up()) in.setstate(std::ios_base::failbit);
    return !in.fail();
}

// An answer that cannot be read (letters, end of input, out of range, too
// long) yields nothing, and the run then ends as for an invalid target
// number. The line the answer was typed on is ended first, as after the
// target number.
std::optional<double> read_dimension(std::istream& in, std::ostream& out) {
    double value = 0.0;
    if (read_answer(in, value)) return value;
    out << texts::line_end;
    return std::nullopt;
}

std::optional<int> read_target_number(std::istream& in) {
    int value = 0;
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

int run_dialogue(std::istream& in, std::ostream& out, key_wait wait) {
    // Numbers are read and written the same way whatever the user's locale.
    in.imbue(std::locale::classic());
    out.imbue(std::locale::classic());
    // Every prompt must be on screen before the answer is read.
    in.tie(&out);

    out << texts::banner;
    write_menu(out);

    const std::optional<dimensions> target = read_target(in, out);
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
