#include "cp932_to_utf8_posix.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace kadrimo {
namespace {

constexpr char replacement_character[] = "\xef\xbf\xbd";  // U+FFFD in UTF-8
// iconv_open's documented failure value is (iconv_t)-1.
// NOLINTNEXTLINE(performance-no-int-to-ptr)
const auto no_converter = reinterpret_cast<iconv_t>(-1);
// Room for a few lines of dialogue. Converted text is passed on in chunks;
// when one fills up, iconv simply goes on with the next.
constexpr std::size_t pending_size = 256;
constexpr std::size_t converted_size = 512;

class cp932_to_utf8_buffer final : public std::streambuf {
public:
    cp932_to_utf8_buffer(std::streambuf& target, iconv_t converter)
        : target_(target), converter_(converter) {
        setp(pending_, pending_ + sizeof pending_);
    }

    // Passes on what is pending; flushing the target is its owner's call.
    ~cp932_to_utf8_buffer() override {
        if (convert() && pptr() != pbase()) {
            write(replacement_character, sizeof replacement_character - 1);
        }
        iconv_close(converter_);
    }

    cp932_to_utf8_buffer(const cp932_to_utf8_buffer&) = delete;
    cp932_to_utf8_buffer& operator=(const cp932_to_utf8_buffer&) = delete;

protected:
    int_type overflow(int_type next) override {
        if (!convert()) return traits_type::eof();
        if (traits_type::eq_int_type(next, traits_type::eof())) return traits_type::not_eof(next);
        // convert() leaves at most a held lead byte, so there is room.
        *pptr() = traits_type::to_char_type(next);
        pbump(1);
        return next;
    }

    int sync() override { return convert() ? target_.pubsync() : -1; }

private:
    bool write(const char* bytes, std::size_t count) {
        return target_.sputn(bytes, static_cast<std::streamsize>(count)) ==
               static_cast<std::streamsize>(count);
    }

    bool convert();

    std::streambuf& target_;
    iconv_t converter_;
    char pending_[pending_size];
};

// Converts and passes on everything pending but a trailing lead byte, which
// moves to the front to wait for its second byte. When the target refuses
// bytes, what is pending is dropped rather than offered again forever.
bool cp932_to_utf8_buffer::convert() {
    char* in = pbase();
    auto in_left = static_cast<std::size_t>(pptr() - pbase());
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
            written = written && write(replacement_character, sizeof replacement_character - 1);
            ++in;
            --in_left;
        }
    }
    const std::size_t kept = written ? in_left : 0;
    std::memmove(pending_, in, kept);
    setp(pending_, pending_ + sizeof pending_);
    pbump(static_cast<int>(kept));
    return written;
}

}  // namespace

std::unique_ptr<std::streambuf> make_cp932_to_utf8_buffer(std::streambuf& target) {
    const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == no_converter) return nullptr;
    return std::make_unique<cp932_to_utf8_buffer>(target, converter);
}

}  // namespace kadrimo
