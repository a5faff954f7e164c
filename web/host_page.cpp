#include <emscripten.h>

#include <istream>
#include <ostream>

#include "host.hpp"
#include "texts.hpp"

// The page: the dialogue's reads wait for the answer field, through
// Asyncify, which unwinds the module to the browser and resumes it where it
// stopped; page.js holds the screen, the field and the wait for a key.

namespace {

EM_ASYNC_JS(int, page_read, (char* bytes, int capacity), {
    return await kadrimo_page.read(bytes, capacity);
});

EM_JS(void, page_write, (const char* bytes, int count), {
    kadrimo_page.write(HEAPU8.subarray(bytes, bytes + count));
});

EM_ASYNC_JS(void, page_wait_for_key, (), {
    await kadrimo_page.wait_for_key();
});

}  // namespace

namespace kadrimo {

int host_read(char* bytes, int capacity) { return page_read(bytes, capacity); }

bool host_write(const char* bytes, int count) {
    page_write(bytes, count);
    return true;
}

// What the field holds is a JavaScript string, handed over as UTF-8.
input_encoding host_input_encoding() { return input_encoding::utf8; }

bool host_runs_again() { return true; }

// The program's own prompt; the page clears the screen for the next run
// once a key is pressed or the page is tapped.
void host_wait_for_key(std::istream& /*in*/, std::ostream& out) {
    out << texts::key_wait_prompt << std::flush;
    page_wait_for_key();
}

}  // namespace kadrimo
