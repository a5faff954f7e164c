#include <windows.h>

#include <stdexcept>

#include "cp932.hpp"

namespace kadrimo::testing {

std::string cp932(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int in_size = static_cast<int>(utf8.size());
    const int wide_size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), in_size, nullptr, 0);
    if (wide_size <= 0) throw std::runtime_error("invalid UTF-8");
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in_size, wide.data(), wide_size);
    BOOL lossy = FALSE;
    const int out_size = WideCharToMultiByte(932, 0, wide.data(), wide_size, nullptr, 0, nullptr, &lossy);
    if (out_size <= 0 || lossy) throw std::runtime_error("text not representable in CP932");
    std::string out(static_cast<std::size_t>(out_size), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wide_size, out.data(), out_size, nullptr, nullptr);
    return out;
}

}  // namespace kadrimo::testing
