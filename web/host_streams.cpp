#include "host.hpp"

namespace kadrimo {

host_input_buffer::int_type host_input_buffer::underflow() {
    const int count = host_read(bytes_, static_cast<int>(capacity));
    if (count <= 0) return traits_type::eof();
    setg(bytes_, bytes_, bytes_ + count);
    return traits_type::to_int_type(bytes_[0]);
}

host_output_buffer::int_type host_output_buffer::overflow(int_type next) {
    if (sync() != 0) return traits_type::eof();
    if (traits_type::eq_int_type(next, traits_type::eof())) return traits_type::not_eof(next);
    return sputc(traits_type::to_char_type(next));
}

int host_output_buffer::sync() {
    const bool written = host_write(pbase(), static_cast<int>(pptr() - pbase()));
    setp(pbase(), epptr());
    return written ? 0 : -1;
}

}  // namespace kadrimo
