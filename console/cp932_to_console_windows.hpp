#pragma once

#include <memory>
#include <streambuf>
#include <string_view>

namespace kadrimo {

// Writes UTF-16 text to the console; false when the console did not take all
// of it.
using console_write = bool (*)(std::wstring_view text);

// A stream buffer that passes on the Shift-JIS (code page 932) written into
// it as UTF-16 through `write`, so a console shows the Japanese whatever its
// own code page is. Converted by the system's MultiByteToWideChar.
//
// A double-byte character whose bytes arrive in two writes is held back until
// its second byte comes; a flush passes on all but such a held byte. Bytes
// that are not Shift-JIS each become U+FFFD, the replacement character, and
// so do single bytes that Windows would pass on as C1 control characters or
// private-use characters: the reader sees where something was wrong and the
// console is never sent a control it would act on. A lead byte still held
// when the buffer is destroyed becomes U+FFFD too. Once a write fails, the
// stream fails and what was pending is dropped.
std::unique_ptr<std::streambuf> make_cp932_to_console_buffer(console_write write);

}  // namespace kadrimo
