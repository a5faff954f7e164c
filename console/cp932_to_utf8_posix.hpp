#pragma once

#include <memory>
#include <streambuf>

namespace kadrimo {

// A stream buffer in front of `target` that passes on as UTF-8 the Shift-JIS
// (code page 932) written into it, converted by the system's iconv.
//
// A double-byte character whose bytes arrive in two writes is held back until
// its second byte comes, so it always converts whole; a flush passes on all
// but such a held byte. Bytes that are not Shift-JIS each become U+FFFD, the
// replacement character, and the text after them goes on converting: the
// reader sees where something was wrong and loses nothing else. A lead byte
// still held when the buffer is destroyed is such a byte too.
//
// Returns null when the system's iconv cannot convert CP932 to UTF-8. The
// target must outlive the buffer.
std::unique_ptr<std::streambuf> make_cp932_to_utf8_buffer(std::streambuf& target);

}  // namespace kadrimo
