#pragma once

namespace kadrimo {

// Whether `fd` is a terminal whose user's locale says UTF-8. Only a terminal
// has a reader whose encoding the locale tells; for a pipe or a file the
// locale is not even asked, so such a run pays nothing for it.
//
// Sets the C library's character type from the environment. When the locale
// named there is not installed, its name still tells: the first non-empty of
// LC_ALL, LC_CTYPE and LANG, whose codeset (after the dot) is UTF-8 or utf8
// in any case.
bool terminal_expects_utf8(int fd);

}  // namespace kadrimo
