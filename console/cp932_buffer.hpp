#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <streambuf>
#include <utility>

namespace kadrimo {

// Room for a few lines of dialogue; a longer text is passed on in pieces.
inline constexpr std::size_t cp932_pending_size = 256;

// The stream buffer in front of each platform's Shift-JIS converter, `sink`.
// At each flush, or when full, it hands the sink what is pending, and keeps
// what the sink leaves: at most a lead byte waiting for its second byte, so
// every character converts whole. The sink's calls:
//   std::optional<std::size_t> pass_on(bytes, count): converts and passes on
//     the characters at the front; how many bytes it used (all but an
//     incomplete character at the end), or nothing when its target refused;
//   bool replace(): passes on one U+FFFD, for a lead byte left at the end;
//   int flush(): a flush's result once all is passed on, 0 or -1.
// Once the target refuses, what is pending is dropped rather than offered
// again forever, and the stream fails.
template <class sink>
class cp932_buffer final : public std::streambuf {
public:
    template <class... arguments>
    explicit cp932_buffer(arguments&&... sink_arguments)
        : sink_(std::forward<arguments>(sink_arguments)...) {
        setp(pending_, pending_ + sizeof pending_);
    }

    // Passes on what is pending; flushing the target is its owner's call.
    ~cp932_buffer() override {
        if (pass_on() && pptr() != pbase()) sink_.replace();
    }

    cp932_buffer(const cp932_buffer&) = delete;
    cp932_buffer& operator=(const cp932_buffer&) = delete;

protected:
    int_type overflow(int_type next) override {
        if (!pass_on()) return traits_type::eof();
        if (traits_type::eq_int_type(next, traits_type::eof())) return traits_type::not_eof(next);
        // pass_on() leaves at most a held lead byte, so there is room.
        *pptr() = traits_type::to_char_type(next);
        pbump(1);
        return next;
    }

    int sync() override { return pass_on() ? sink_.flush() : -1; }

private:
    bool pass_on() {
        const auto count = static_cast<std::size_t>(pptr() - pbase());
        const std::optional<std::size_t> taken = sink_.pass_on(pending_, count);
        const std::size_t from = taken.value_or(count);
        std::memmove(pending_, pending_ + from, count - from);
        setp(pending_, pending_ + sizeof pending_);
        pbump(static_cast<int>(count - from));
        return taken.has_value();
    }

    sink sink_;
    char pending_[cp932_pending_size];
};

}  // namespace kadrimo
