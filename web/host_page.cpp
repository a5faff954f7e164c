#include <emscripten.h>

#include <istream>
#include <ostream>
#include <string_view>

#include "host.hpp"
#include "texts.hpp"

// The page: the dialogue's reads wait for the answer field, through
// Asyncify, which unwinds the module to the browser and resumes it where it
// stopped; page.js holds the screen, the field, the picture and the wait for
// a key.

namespace {

EM_ASYNC_JS(int, page_read, (char* bytes, int capacity), {
    return await kadrimo_page.read(bytes, capacity);
});

// Whether the write ends by asking for the picture's width (every prompt
// ends the write that shows it): only there can a picture answer for the user.
EM_JS(void, page_write, (const char* bytes, int count, bool picture_width_asked), {
    kadrimo_page.write(HEAPU8.subarray(bytes, bytes + count), picture_width_asked);
});

EM_JS(void, page_result, (int which, const char* label, int label_count, const char* number,
                          int number_count), {
    kadrimo_page.result(which, HEAPU8.subarray(label, label + label_count),
                        HEAPU8.subarray(number, number + number_count));
});

EM_JS(void, page_target, (double width, double height), {
    kadrimo_page.target(width, height);
});

EM_ASYNC_JS(void, page_wait_for_key, (), {
    await kadrimo_page.wait_for_key();
});

// Passes on a result line in these bytes, the label and the number as the
// dialogue printed them, so the page draws its frames from what the user read.
void pass_on_result(std::string_view bytes, int which, std::string_view label) {
    const std::size_t at = bytes.find(label);
    if (at == std::string_view::npos) return;
    const std::string_view rest = bytes.substr(at + label.size());
    const std::string_view number = rest.substr(0, rest.find('\n'));
    page_result(which, label.data(), static_cast<int>(label.size()), number.data(),
                static_cast<int>(number.size()));
}

}  // namespace

namespace kadrimo {

int host_read(char* bytes, int capacity) { return page_read(bytes, capacity); }

bool host_write(const char* bytes, int count) {
    const std::string_view written(bytes, static_cast<std::size_t>(count));
    page_write(bytes, count, written.ends_with(texts::source_width_prompt));
    pass_on_result(written, 0, texts::first_result_label);
    pass_on_result(written, 1, texts::second_result_label);
    return true;
}

// What the field holds is a JavaScript string, handed over as UTF-8.
input_encoding host_input_encoding() { return input_encoding::utf8; }

bool host_runs_again() { return true; }

void host_target(double width, double height) { page_target(width, height); }

// The program's own prompt; the page clears the screen for the next run
// once a key is pressed or the page is tapped.
void host_wait_for_key(std::istream& /*in*/, std::ostream& out) {
    out << texts::key_wait_prompt << std::flush;
    page_wait_for_key();
}

}  // namespace kadrimo
