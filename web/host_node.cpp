#include <emscripten.h>

#include <iosfwd>

#include "dialogue.hpp"
#include "host.hpp"

// The command-line form: standard input and output as bytes, like the
// console program's pipes. Reads block (node's synchronous file calls), so
// nothing here needs to wait asynchronously.

namespace {

// A standard input that node has made non-blocking answers EAGAIN; it is
// tried again after a moment rather than taken for the end.
EM_JS(int, node_read, (char* bytes, int capacity), {
    const fs = require("fs");
    for (;;) {
        try {
            return fs.readSync(0, HEAPU8, bytes, capacity, null);
        } catch (error) {
            if (error.code !== "EAGAIN") return 0;
            Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 10);
        }
    }
});

EM_JS(int, node_write, (const char* bytes, int count), {
    const fs = require("fs");
    let rest = HEAPU8.subarray(bytes, bytes + count);
    while (rest.length > 0) {
        try {
            rest = rest.subarray(fs.writeSync(1, rest));
        } catch (error) {
            if (error.code !== "EAGAIN") return 0;
            Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 10);
        }
    }
    return 1;
});

}  // namespace

namespace kadrimo {

int host_read(char* bytes, int capacity) { return node_read(bytes, capacity); }

bool host_write(const char* bytes, int count) { return node_write(bytes, count) != 0; }

input_encoding host_input_encoding() { return input_encoding::shift_jis; }

bool host_runs_again() { return false; }

// As the console program on a pipe.
void host_wait_for_key(std::istream& in, std::ostream& out) { wait_for_next_byte(in, out); }

void host_target(double /*width*/, double /*height*/) {}

}  // namespace kadrimo
