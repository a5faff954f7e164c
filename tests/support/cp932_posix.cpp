#include <iconv.h>

#include <stdexcept>
#include <vector>

#include "cp932.hpp"

namespace kadrimo::testing {

std::string cp932(std::string_view utf8) {
    iconv_t converter = iconv_open("CP932", "UTF-8");
    // iconv_open reports failure as the pointer value -1; there is no other way to compare.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 in iconv");
    std::string input(utf8);
    std::vector<char> output(input.size() * 2 + 1);
    char* in_ptr = input.data();
    std::size_t in_left = input.size();
    char* out_ptr = output.data();
    std::size_t out_left = output.size();
    const std::size_t result = iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || in_left != 0) {
        throw std::runtime_error("text not representable in CP932");
    }
    return {output.data(), output.size() - out_left};
}

}  // namespace kadrimo::testing
