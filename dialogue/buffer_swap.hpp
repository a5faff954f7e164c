#pragma once

#include <ios>
#include <streambuf>

namespace kadrimo {

// For as long as it lives, `stream` reads or writes through `replacement`.
// On leaving, the stream gets its own buffer back with the state it has then:
// giving a buffer back clears the state, and an end of input or a failed
// write must stay known to whoever looks next.
class buffer_swap {
public:
    buffer_swap(std::ios& stream, std::streambuf& replacement)
        : stream_(stream), original_(stream.rdbuf(&replacement)) {}

    ~buffer_swap() {
        const std::ios_base::iostate state = stream_.rdstate();
        stream_.rdbuf(original_);
        stream_.setstate(state);
    }

    buffer_swap(const buffer_swap&) = delete;
    buffer_swap& operator=(const buffer_swap&) = delete;

private:
    std::ios& stream_;
    std::streambuf* original_;
};

}  // namespace kadrimo
