#include "cp932_to_console_windows.hpp"

#include <windows.h>

#include <cstring>

namespace kadrimo {
namespace {

constexpr UINT shift_jis = 932;
constexpr wchar_t replacement_character = L'\xfffd';
// Room for a few lines of dialogue; a longer text is passed on in pieces.
constexpr std::size_t pending_size = 256;

// Shift-JIS gives a single byte a character only in ASCII and in the
// half-width katakana, which follow U+FF61 in order.
constexpr unsigned char first_katakana = 0xa1;
constexpr unsigned char last_katakana = 0xdf;
constexpr wchar_t first_katakana_character = L'\xff61';

class cp932_to_console_buffer final : public std::streambuf {
public:
    explicit cp932_to_console_buffer(console_write write) : write_(write) {
        setp(pending_, pending_ + sizeof pending_);
    }

    ~cp932_to_console_buffer() override {
        if (convert() && pptr() != pbase()) write_(std::wstring_view(&replacement_character, 1));
    }

    cp932_to_console_buffer(const cp932_to_console_buffer&) = delete;
    cp932_to_console_buffer& operator=(const cp932_to_console_buffer&) = delete;

protected:
    int_type overflow(int_type next) override {
        if (!convert()) return traits_type::eof();
        if (traits_type::eq_int_type(next, traits_type::eof())) return traits_type::not_eof(next);
        // convert() leaves at most a held lead byte, so there is room.
        *pptr() = traits_type::to_char_type(next);
        pbump(1);
        return next;
    }

    int sync() override { return convert() ? 0 : -1; }

private:
    bool convert();

    console_write write_;
    char pending_[pending_size];
};

// One character from the front of `bytes`: how many bytes it took and what
// it reads as. An invalid byte takes one byte, so the text after it is read
// afresh, and the byte reads as the replacement character. Single bytes are
// read here: Windows' own table also gives 0x80, 0xa0 and 0xfd to 0xff
// characters (a C1 control, private-use ones) that no console should show.
struct converted_character {
    std::size_t length;
    wchar_t character;
};

converted_character convert_one(const char* bytes, std::size_t length) {
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (length == 1) {
        if (first < 0x80) return {1, static_cast<wchar_t>(first)};
        if (first < first_katakana || first > last_katakana) return {1, replacement_character};
        return {1, static_cast<wchar_t>(first_katakana_character + (first - first_katakana))};
    }
    wchar_t converted;
    const int count = MultiByteToWideChar(shift_jis, MB_ERR_INVALID_CHARS, bytes,
                                          static_cast<int>(length), &converted, 1);
    if (count != 1) return {1, replacement_character};
    return {length, converted};
}

// Converts and writes everything pending but a trailing lead byte, which
// moves to the front to wait for its second byte.
bool cp932_to_console_buffer::convert() {
    const auto available = static_cast<std::size_t>(pptr() - pbase());
    wchar_t converted[pending_size];
    std::size_t converted_count = 0;
    std::size_t at = 0;
    while (at < available) {
        const bool lead = IsDBCSLeadByteEx(shift_jis, static_cast<BYTE>(pending_[at])) != 0;
        const std::size_t length = lead ? 2 : 1;
        if (at + length > available) break;
        const converted_character next = convert_one(pending_ + at, length);
        converted[converted_count++] = next.character;
        at += next.length;
    }
    const bool written =
        converted_count == 0 || write_(std::wstring_view(converted, converted_count));
    const std::size_t kept = written ? available - at : 0;
    std::memmove(pending_, pending_ + at, kept);
    setp(pending_, pending_ + sizeof pending_);
    pbump(static_cast<int>(kept));
    return written;
}

}  // namespace

std::unique_ptr<std::streambuf> make_cp932_to_console_buffer(console_write write) {
    return std::make_unique<cp932_to_console_buffer>(write);
}

}  // namespace kadrimo
