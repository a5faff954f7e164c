#include "host.hpp"

#include <string>

namespace kadrimo {

host_input_buffer::int_type host_input_buffer::underflow() {
    const int count = host_read(bytes_, static_cast<int>(capacity));
    if (count <= 0) return traits_type::eof();
    setg(bytes_, bytes_, bytes_ + count);
    return traits_type::to_int_type(bytes_[0]);
}

int host_output_buffer::sync() {
    const std::string bytes = str();
    str(std::string());
    return host_write(bytes.data(), static_cast<int>(bytes.size())) ? 0 : -1;
}

}  // namespace kadrimo
