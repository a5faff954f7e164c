#include "cp932_to_utf8_posix.hpp"

#include <iconv.h>

#include <cerrno>

#include "cp932_buffer.hpp"

namespace kadrimo {
namespace {

constexpr char replacement_character[] = "\xef\xbf\xbd";  // U+FFFD in UTF-8
// iconv_open's documented failure value is (iconv_t)-1.
// NOLINTNEXTLINE(performance-no-int-to-ptr)
const auto no_converter = reinterpret_cast<iconv_t>(-1);
// Converted text is passed on in chunks; when one fills up, iconv simply
// goes on with the next.
constexpr std::size_t converted_size = 512;

// The system's iconv, writing UTF-8 into the target.
class utf8_sink {
public:
    utf8_sink(std::streambuf& target, iconv_t converter) : target_(target), converter_(converter) {}
    // Never copied: its buffer holds it, and is never copied either.
    ~utf8_sink() { iconv_close(converter_); }

    std::optional<std::size_t> pass_on(char* bytes, std::size_t count);
    bool replace() { return write(replacement_character, sizeof replacement_character - 1); }
    int flush() { return target_.pubsync(); }

private:
    bool write(const char* bytes, std::size_t count) {
        return target_.sputn(bytes, static_cast<std::streamsize>(count)) ==
               static_cast<std::streamsize>(count);
    }

    std::streambuf& target_;
    iconv_t converter_;
};

std::optional<std::size_t> utf8_sink::pass_on(char* bytes, std::size_t count) {
    char* in = bytes;
    std::size_t in_left = count;
    bool written = true;
    while (in_left > 0 && written) {
        char converted[converted_size];
        char* out = converted;
        std::size_t out_left = sizeof converted;
        const bool stopped = iconv(converter_, &in, &in_left, &out, &out_left) ==
                             static_cast<std::size_t>(-1);
        const int reason = errno;  // why it stopped, if it did
        written = write(converted, static_cast<std::size_t>(out - converted));
        // Everything converted, or an incomplete character at the end.
        if (!stopped || reason == EINVAL) break;
        // An invalid byte; on E2BIG only the room for converted bytes ran out.
        if (reason != E2BIG) {
            written = written && replace();
            ++in;
            --in_left;
        }
    }
    if (!written) return std::nullopt;
    return count - in_left;
}

}  // namespace

std::unique_ptr<std::streambuf> make_cp932_to_utf8_buffer(std::streambuf& target) {
    const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == no_converter) return nullptr;
    return std::make_unique<cp932_buffer<utf8_sink>>(target, converter);
}

}  // namespace kadrimo
