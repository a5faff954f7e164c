#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <istream>
#include <ostream>

#include "key_wait.hpp"
#include "texts.hpp"

// There is no pause command here, so the wait is ours: on a terminal, one key
// press without Enter; otherwise one more byte of the remaining input.

namespace kadrimo {
namespace {

constexpr int terminal_fd = STDIN_FILENO;
constexpr int restoring_signals[] = {SIGINT, SIGTERM, SIGHUP};

// Read by the signal handler, so kept where it can reach it.
termios saved_terminal{};

extern "C" void restore_and_reraise(int signal_number) {
    // Best effort: a signal handler has no one to report a failure to.
    static_cast<void>(tcsetattr(terminal_fd, TCSANOW, &saved_terminal));
    static_cast<void>(std::signal(signal_number, SIG_DFL));
    static_cast<void>(std::raise(signal_number));
}

struct handlers {
    struct sigaction previous[std::size(restoring_signals)];
};

handlers install_restoring_handlers() {
    handlers installed{};
    struct sigaction action{};
    action.sa_handler = restore_and_reraise;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(restoring_signals); ++i) {
        sigaction(restoring_signals[i], &action, &installed.previous[i]);
    }
    return installed;
}

void reinstall(const handlers& installed) {
    for (std::size_t i = 0; i < std::size(restoring_signals); ++i) {
        sigaction(restoring_signals[i], &installed.previous[i], nullptr);
    }
}

void wait_on_terminal() {
    if (tcgetattr(terminal_fd, &saved_terminal) != 0) return;
    termios raw = saved_terminal;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;

    const handlers previous = install_restoring_handlers();
    // TCSAFLUSH drops whatever was typed before the prompt appeared.
    if (tcsetattr(terminal_fd, TCSAFLUSH, &raw) == 0) {
        char key = 0;
        while (read(terminal_fd, &key, 1) < 0 && errno == EINTR) {
        }
        tcsetattr(terminal_fd, TCSANOW, &saved_terminal);
    }
    reinstall(previous);
}

}  // namespace

void wait_for_key(std::istream& in, std::ostream& out) {
    out << texts::key_wait_prompt << std::flush;
    if (isatty(terminal_fd) == 1) {
        wait_on_terminal();
    } else {
        // The stream's own buffer may already hold the rest of the input.
        in.rdbuf()->sbumpc();
    }
    out << texts::line_end << std::flush;
}

}  // namespace kadrimo
