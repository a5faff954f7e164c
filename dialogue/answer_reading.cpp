#include "answer_reading.hpp"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>
#include <streambuf>
#include <system_error>

namespace kadrimo {
namespace {

using traits = std::char_traits<char>;

// The answer's characters as they are taken from the stream's buffer. The
// next character is only looked at, and taken only when it continues the
// number, so the first one that cannot stays in the buffer.
class answer_scan {
public:
    explicit answer_scan(std::streambuf& source) : source_(source) {}

    [[nodiscard]] bool too_long() const {
        return text_.size() > static_cast<std::size_t>(longest_answer);
    }
    [[nodiscard]] const std::string& text() const { return text_; }

    // The next character, or none at the end of the input or once the
    // answer is longer than the longest.
    [[nodiscard]] int next() { return too_long() ? traits::eof() : source_.sgetc(); }

    // Takes the next character if it is one of `wanted`.
    bool take_any_of(const char* wanted) {
        // End of input matches no character.
        const int c = next();
        for (const char* w = wanted; *w != '\0'; ++w) {
            if (c == traits::to_int_type(*w)) {
                take();
                return true;
            }
        }
        return false;
    }

    bool take_digit() { return take_any_of("0123456789"); }

private:
    void take() {
        text_.push_back(traits::to_char_type(source_.sbumpc()));
    }

    std::streambuf& source_;
    std::string text_;
};

// White space as the classic locale knows it: space, tab, line feed,
// vertical tab, form feed and carriage return.
void skip_white_space(std::streambuf& source) {
    for (int c = source.sgetc(); !traits::eq_int_type(c, traits::eof()); c = source.snextc()) {
        if (c != ' ' && (c < '\t' || c > '\r')) return;
    }
}

void scan_int(answer_scan& scan) {
    scan.take_any_of("+-");
    while (scan.take_digit()) {
    }
}

void scan_double(answer_scan& scan) {
    scan.take_any_of("+-");
    bool digits = false;
    bool point = false;
    for (;;) {
        if (scan.take_digit()) {
            digits = true;
        } else if (!point && scan.take_any_of(".")) {
            point = true;
        } else {
            break;
        }
    }
    // An exponent may follow only a digit; its sign is taken with it.
    if (!digits || !scan.take_any_of("eE")) return;
    scan.take_any_of("+-");
    while (scan.take_digit()) {
    }
}

bool convert(const std::string& text, int& value) {
    const char* first = text.data();
    const char* const last = first + text.size();
    // from_chars knows a minus sign, not a plus.
    if (first != last && *first == '+') ++first;
    const std::from_chars_result result = std::from_chars(first, last, value);
    return result.ec == std::errc{} && result.ptr == last;
}

// strtod rather than from_chars: some C++ libraries have no from_chars for
// double, and where it is there it leaves a value too small for the range
// unset instead of giving the nearest double. The text is plain decimal by
// now (strtod's hexadecimal, "inf" and "nan" cannot get through the scan),
// and the program never sets LC_NUMERIC, so strtod reads it in the "C"
// locale, with the decimal point every build uses.
bool convert(const std::string& text, double& value) {
    char* end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return false;
    // Beyond the largest double: strtod gives an infinity.
    if (read > std::numeric_limits<double>::max() || read < -std::numeric_limits<double>::max()) {
        return false;
    }
    value = read;
    return true;
}

template <typename number>
bool read_number(std::istream& in, number& value, void (*scan_number)(answer_scan&)) {
    // The sentry puts the prompt on screen (the tied stream is flushed)
    // before the first key is waited for; it skips no white space. A stream
    // without a buffer is bad, which the sentry sees too. Nobody asks
    // whether a failed answer met the end of the input, so only failbit says
    // it failed.
    const std::istream::sentry ready(in, true);
    if (!ready) return false;
    skip_white_space(*in.rdbuf());
    answer_scan scan(*in.rdbuf());
    scan_number(scan);
    if (scan.text().empty() || scan.too_long() || !convert(scan.text(), value)) {
        in.setstate(std::ios_base::failbit);
        return false;
    }
    // A terminal's input may go on after an end of input (Ctrl+D mid-line),
    // so the stream is not marked as ended by an answer that was read.
    return true;
}

}  // namespace

bool read_answer(std::istream& in, int& value) { return read_number(in, value, scan_int); }

bool read_answer(std::istream& in, double& value) { return read_number(in, value, scan_double); }

}  // namespace kadrimo
