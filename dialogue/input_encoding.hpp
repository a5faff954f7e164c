#pragma once

namespace kadrimo {

// How the bytes typed at standard input spell characters beyond ASCII.
enum class input_encoding { shift_jis, utf8 };

}  // namespace kadrimo
