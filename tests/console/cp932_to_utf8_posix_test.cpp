#include <gtest/gtest.h>
#include <malloc.h>

#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "cp932_buffer_cases.hpp"
#include "cp932_to_utf8_posix.hpp"
#include "refusing_target.hpp"

namespace kadrimo {
namespace {

using testing::refusing_target;

// The terminal's stand-in for the converter's common tests: the UTF-8 that
// reached it is what it shows.
struct utf8_screen {
    static inline refusing_target target;
    static std::unique_ptr<std::streambuf> converter() {
        target.str("");
        target.refusals = 0;
        return make_cp932_to_utf8_buffer(target);
    }
    static void refuse(int writes) { target.refusals = writes; }
    static std::string shown() { return target.str(); }
};

INSTANTIATE_TYPED_TEST_SUITE_P(cp932_to_utf8, cp932_buffer, utf8_screen);

// Remembers how often it was asked to flush, and what it answered.
struct recording_target : std::stringbuf {
    int syncs = 0;
    int sync_result = 0;
    int sync() override {
        ++syncs;
        return sync_result;
    }
};

// Each flush flushes the target once, and its failure is the stream's.
TEST(cp932_to_utf8, flush_reports_a_failing_target) {
    for (const int result : {0, -1}) {
        recording_target target;
        target.sync_result = result;
        const std::unique_ptr<std::streambuf> converter = make_cp932_to_utf8_buffer(target);
        std::ostream out(converter.get());
        out << "x" << std::flush;
        EXPECT_EQ(out.bad(), result != 0);
        EXPECT_EQ(target.syncs, 1);
        EXPECT_EQ(target.str(), "x");
    }
}

// What the system's iconv takes for a converter is given back with it.
TEST(cp932_to_utf8, leaves_no_memory_behind) {
    recording_target target;
    make_cp932_to_utf8_buffer(target);  // loads the conversion module once
    const std::size_t before = mallinfo2().uordblks;
    constexpr int converters = 100;
    for (int i = 0; i < converters; ++i) make_cp932_to_utf8_buffer(target);
    EXPECT_EQ(mallinfo2().uordblks, before);
}

}  // namespace
}  // namespace kadrimo
