#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>
#include <sstream>
#include <string>

#include "output_check.hpp"

namespace kadrimo {
namespace {

// Refuses what it is told to, setting errno to the given cause, or leaving
// errno as it was when the cause is 0. A negative cause refuses nothing.
struct failing_target : std::stringbuf {
    int write_cause = -1;
    int sync_cause = -1;
    static bool refuse(int cause) {
        if (cause > 0) errno = cause;
        return cause >= 0;
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        return refuse(write_cause) ? 0 : std::stringbuf::xsputn(bytes, count);
    }
    int_type overflow(int_type next) override {
        return refuse(write_cause) ? traits_type::eof() : std::stringbuf::overflow(next);
    }
    int sync() override { return refuse(sync_cause) ? -1 : 0; }
};

struct check_case {
    const char* name;
    int write_cause;
    int sync_cause;
    const char* written;  // put a character at a time when it is one
    const char* message;
};

const std::string cannot = "kadrimo: cannot write to standard output";

// A cause left in errno by something else (ERANGE, as a number out of range
// leaves it) is never the failure's; the first failure's cause is kept.
const check_case check_cases[] = {
    {"all_written", -1, -1, "abc", ""},
    {"text_refused", EFBIG, -1, "abc", ": File too large"},
    {"character_refused", ENOSPC, -1, "a", ": No space left on device"},
    {"text_refused_without_a_cause", 0, -1, "abc", ""},
    {"character_refused_without_a_cause", 0, -1, "a", ""},
    {"flush_refused", -1, EPIPE, "a", ": Broken pipe"},
    {"flush_refused_without_a_cause", -1, 0, "abc", ""},
    {"first_cause_kept", EFBIG, ENOSPC, "abc", ": File too large"},
    {"stream_failed_before", -1, -1, nullptr, ""},
};

TEST(output_check, fails_the_run_once_naming_the_first_cause) {
    for (const check_case& c : check_cases) {
        failing_target target;
        target.write_cause = c.write_cause;
        target.sync_cause = c.sync_cause;
        std::ostream out(&target);
        std::ostringstream errors;
        std::streambuf* const standard_error = std::cerr.rdbuf(errors.rdbuf());
        int status = 0;
        {
            output_check check(out);
            errno = ERANGE;
            if (c.written == nullptr) {
                out.setstate(std::ios::badbit);
            } else if (std::string(c.written).size() == 1) {
                out.put(*c.written);
            } else {
                out << c.written;
            }
            // A second failure, at the flush.
            if (c.write_cause >= 0 && c.sync_cause >= 0) out.clear();
            status = check.status_after(3);
        }
        std::cerr.rdbuf(standard_error);
        const bool failed = c.write_cause >= 0 || c.sync_cause >= 0 || c.written == nullptr;
        EXPECT_EQ(status, failed ? 1 : 3) << c.name;
        EXPECT_EQ(errors.str(), failed ? cannot + c.message + "\n" : "") << c.name;
    }
}

}  // namespace
}  // namespace kadrimo
