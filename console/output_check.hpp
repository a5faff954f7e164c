#pragma once

#include <iosfwd>
#include <streambuf>

#include "buffer_swap.hpp"

namespace kadrimo {

// The key wait, but only while the output still reaches the user: once a
// write has failed, its prompt could not be seen and nobody would know to
// press the key.
void wait_while_output_works(std::istream& in, std::ostream& out);

// For as long as it lives, watches every write that reaches the buffer of
// `out`, which must have one, and keeps the cause (errno) of the first that
// failed, taken at that moment: later calls, a failed number conversion
// among them, may set errno too. On leaving, `out` gets its own buffer back.
class output_check {
public:
    explicit output_check(std::ostream& out);

    // The exit status of the run: the dialogue's own, or a failure with one
    // line on standard error when the output could not all be written, so
    // that a lost transcript is never reported as success.
    int status_after(int dialogue_status);

private:
    // Passes everything on unbuffered, so each failure is seen where it
    // happens.
    class watcher final : public std::streambuf {
    public:
        explicit watcher(std::streambuf& target) : target_(target) {}
        [[nodiscard]] int cause() const { return cause_; }

    protected:
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;
        int_type overflow(int_type next) override;
        int sync() override;

    private:
        void note_failure();

        std::streambuf& target_;
        bool failed_ = false;
        int cause_ = 0;
    };

    std::ostream& out_;
    watcher watcher_;
    buffer_swap swap_;
};

}  // namespace kadrimo
