#include "cp932_to_console_windows.hpp"

#include <windows.h>

#include "cp932_buffer.hpp"

namespace kadrimo {
namespace {

constexpr UINT shift_jis = 932;
constexpr wchar_t replacement_character = L'\xfffd';

// Shift-JIS gives a single byte a character only in ASCII and in the
// half-width katakana, which follow U+FF61 in order.
constexpr unsigned char first_katakana = 0xa1;
constexpr unsigned char last_katakana = 0xdf;
constexpr wchar_t first_katakana_character = L'\xff61';

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

// MultiByteToWideChar, one character at a time, writing UTF-16 to the console.
struct console_sink {
    console_write write;

    std::optional<std::size_t> pass_on(const char* bytes, std::size_t count) const {
        // A character takes at least a byte, so all that is pending fits.
        wchar_t converted[cp932_pending_size];
        std::size_t converted_count = 0;
        std::size_t taken = 0;
        while (taken < count) {
            const bool lead = IsDBCSLeadByteEx(shift_jis, static_cast<BYTE>(bytes[taken])) != 0;
            const std::size_t length = lead ? 2 : 1;
            if (taken + length > count) break;
            const converted_character next = convert_one(bytes + taken, length);
            converted[converted_count++] = next.character;
            taken += next.length;
        }
        if (converted_count > 0 && !write(std::wstring_view(converted, converted_count))) {
            return std::nullopt;
        }
        return taken;
    }

    bool replace() const { return write(std::wstring_view(&replacement_character, 1)); }
    static int flush() { return 0; }
};

}  // namespace

std::unique_ptr<std::streambuf> make_cp932_to_console_buffer(console_write write) {
    return std::make_unique<cp932_buffer<console_sink>>(console_sink{write});
}

}  // namespace kadrimo
