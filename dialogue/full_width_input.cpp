#include "full_width_input.hpp"

#include <cstddef>
#include <string_view>

namespace kadrimo {
namespace {

// What an input method types for a number, in both encodings, and the ASCII
// that it shows.
struct full_width_form {
    char ascii;
    std::string_view shift_jis;
    std::string_view utf8;
};

constexpr full_width_form full_width_forms[] = {
    {'0', "\x82\x4f", "\xef\xbc\x90"},  // ０
    {'1', "\x82\x50", "\xef\xbc\x91"},  // １
    {'2', "\x82\x51", "\xef\xbc\x92"},  // ２
    {'3', "\x82\x52", "\xef\xbc\x93"},  // ３
    {'4', "\x82\x53", "\xef\xbc\x94"},  // ４
    {'5', "\x82\x54", "\xef\xbc\x95"},  // ５
    {'6', "\x82\x55", "\xef\xbc\x96"},  // ６
    {'7', "\x82\x56", "\xef\xbc\x97"},  // ７
    {'8', "\x82\x57", "\xef\xbc\x98"},  // ８
    {'9', "\x82\x58", "\xef\xbc\x99"},  // ９
    {'.', "\x81\x44", "\xef\xbc\x8e"},  // ．
    {'-', "\x81\x7c", "\xef\xbc\x8d"},  // － (U+FF0D)
    {'+', "\x81\x7b", "\xef\xbc\x8b"},  // ＋
    {'E', "\x82\x64", "\xef\xbc\xa5"},  // Ｅ
    {'e', "\x82\x85", "\xef\xbd\x85"},  // ｅ
    {' ', "\x81\x40", "\xe3\x80\x80"},  // the ideographic space
};

struct byte_range {
    unsigned char first;
    unsigned char last;

    [[nodiscard]] constexpr bool holds(unsigned char byte) const {
        return byte >= first && byte <= last;
    }
};

constexpr byte_range shift_jis_leads[] = {{0x81, 0x9f}, {0xe0, 0xfc}};
constexpr byte_range utf8_three_byte_leads{0xe0, 0xef};
constexpr byte_range utf8_continuations{0x80, 0xbf};

// How many bytes the character that starts with `lead` has at most; only
// three-byte UTF-8 holds any of the forms above.
std::size_t character_length(input_encoding encoding, unsigned char lead) {
    if (encoding == input_encoding::shift_jis) {
        return shift_jis_leads[0].holds(lead) || shift_jis_leads[1].holds(lead) ? 2 : 1;
    }
    return utf8_three_byte_leads.holds(lead) ? 3 : 1;
}

// Whether `next` may continue a character: in Shift-JIS any byte follows a
// lead; in UTF-8 only a continuation byte does.
bool continues(input_encoding encoding, unsigned char next) {
    return encoding == input_encoding::shift_jis || utf8_continuations.holds(next);
}

// The ASCII that a whole character shows, or 0 when it is none of the forms.
char ascii_of(input_encoding encoding, std::string_view character) {
    for (const full_width_form& form : full_width_forms) {
        const std::string_view bytes =
            encoding == input_encoding::shift_jis ? form.shift_jis : form.utf8;
        if (character == bytes) return form.ascii;
    }
    return 0;
}

}  // namespace

full_width_buffer::full_width_buffer(std::streambuf& source, input_encoding encoding)
    : source_(source), encoding_(encoding) {}

// Reads the next character from the source whole, and offers it translated
// or as it came.
// Called only once the character before has been read whole.
full_width_buffer::int_type full_width_buffer::underflow() {
    const int_type lead = source_.sbumpc();
    if (traits_type::eq_int_type(lead, traits_type::eof())) return traits_type::eof();
    character_[0] = traits_type::to_char_type(lead);
    std::size_t size = 1;
    const std::size_t length =
        character_length(encoding_, static_cast<unsigned char>(character_[0]));
    while (size < length) {
        const int_type next = source_.sgetc();
        if (traits_type::eq_int_type(next, traits_type::eof()) ||
            !continues(encoding_, static_cast<unsigned char>(traits_type::to_char_type(next)))) {
            break;
        }
        character_[size++] = traits_type::to_char_type(next);
        source_.sbumpc();
    }
    // No single byte, and no character cut short, is one of the forms.
    const char ascii = ascii_of(encoding_, std::string_view(character_, size));
    if (ascii != 0) {
        character_[0] = ascii;
        size = 1;
    }
    setg(character_, character_, character_ + size);
    return traits_type::to_int_type(character_[0]);
}

full_width_input::full_width_input(std::istream& in, input_encoding encoding)
    : buffer_(*in.rdbuf(), encoding), swap_(in, buffer_) {}

}  // namespace kadrimo
