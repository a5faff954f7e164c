#pragma once

#include <cstddef>
#include <cstring>
#include <streambuf>
#include <utility>

namespace kadrimo {

// Room for a few lines of dialogue; a longer text is passed on in pieces.
inline constexpr std::size_t cp932_pending_size = 256;

// The stream buffer in front of each platform's Shift-JIS converter. It
// gathers what is written, hands the converter what it has at each flush or
// when full, and keeps what the converter leaves: at most a lead byte whose
// second byte has not come yet, so every character converts whole.
//
// The converter (`sink`) has three calls:
//   bool pass_on(char* bytes, std::size_t count, std::size_t& taken)
//     converts and passes on the characters at the front of `bytes`, sets
//     `taken` to how many bytes it used (all but an incomplete character at
//     the end) and returns false when its target refused what it passed on;
//   bool replace() passes on one U+FFFD, for a lead byte left at the end;
//   int flush() is what a flush does once all is passed on: 0, or -1.
// When the target refuses, what is pending is dropped rather than offered
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
        std::size_t taken = 0;
        const bool written = sink_.pass_on(pending_, count, taken);
        const std::size_t kept = written ? count - taken : 0;
        std::memmove(pending_, pending_ + taken, kept);
        setp(pending_, pending_ + sizeof pending_);
        pbump(static_cast<int>(kept));
        return written;
    }

    sink sink_;
    char pending_[cp932_pending_size];
};

}  // namespace kadrimo
