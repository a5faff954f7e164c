#include "console_input_windows.hpp"

#include <windows.h>

#include <iterator>
#include <string_view>

namespace kadrimo {
namespace {

constexpr wchar_t end_of_input = L'\x1a';  // Ctrl+Z
// A line or two of typing; a longer one is read in pieces.
constexpr std::size_t wide_size = 256;
// Each UTF-16 unit takes at most three bytes of UTF-8.
constexpr std::size_t bytes_size = 3 * wide_size;

bool is_high_surrogate(wchar_t unit) { return unit >= L'\xd800' && unit <= L'\xdbff'; }

class console_input_buffer final : public std::streambuf {
public:
    explicit console_input_buffer(console_read read) : read_(read) {}

protected:
    int_type underflow() override {
        while (gptr() == egptr()) {
            if (ended_) return traits_type::eof();
            fill();
        }
        return traits_type::to_int_type(*gptr());
    }

private:
    // One read of the console, as UTF-8; it may give nothing (a lone high
    // surrogate, held for the next read), or be the last.
    void fill() {
        // A high surrogate held from the last read goes first.
        const std::size_t held = held_ != 0 ? 1 : 0;
        wide_[0] = held_;
        held_ = 0;
        wchar_t* const room = wide_ + held;
        const auto room_size = static_cast<std::size_t>(std::end(wide_) - room);
        std::size_t count = read_(room, room_size);
        if (count == 0) ended_ = true;
        count += held;
        std::wstring_view typed(wide_, count);
        if (const std::size_t z = typed.find(end_of_input); z != std::wstring_view::npos) {
            typed = typed.substr(0, z);
            ended_ = true;
        } else if (!ended_ && is_high_surrogate(typed.back())) {
            held_ = typed.back();
            typed.remove_suffix(1);
        }
        // Nothing to convert is a failure too, giving 0 bytes.
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, typed.data(), static_cast<int>(typed.size()), bytes_,
                                static_cast<int>(sizeof bytes_), nullptr, nullptr);
        setg(bytes_, bytes_, bytes_ + size);
    }

    console_read read_;
    wchar_t wide_[wide_size] = {};
    char bytes_[bytes_size] = {};
    wchar_t held_ = 0;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<std::streambuf> make_console_input_buffer(console_read read) {
    return std::make_unique<console_input_buffer>(read);
}

}  // namespace kadrimo
