#include "terminal_locale_posix.hpp"

#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace kadrimo {
namespace {

bool same_ignoring_case(std::string_view text, std::string_view lower_case) {
    // Only ever asked when no locale could be set, so tolower is the C locale's.
    return std::equal(text.begin(), text.end(), lower_case.begin(), lower_case.end(),
                      [](char c, char lower) {
                          return std::tolower(static_cast<unsigned char>(c)) == lower;
                      });
}

// language_TERRITORY.codeset@modifier: only the codeset matters.
bool name_says_utf8(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) return false;
    std::string_view codeset = name.substr(dot + 1);
    codeset = codeset.substr(0, codeset.find('@'));
    return same_ignoring_case(codeset, "utf-8") || same_ignoring_case(codeset, "utf8");
}

// The locale as the C library takes it from the environment, when it is
// there to take.
bool locale_says_utf8() {
    if (std::setlocale(LC_CTYPE, "") != nullptr) {
        return std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    }
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return name_says_utf8(value);
    }
    return false;
}

}  // namespace

bool terminal_expects_utf8(int fd) { return isatty(fd) == 1 && locale_says_utf8(); }

}  // namespace kadrimo
