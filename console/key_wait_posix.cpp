#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <istream>
#include <ostream>

#include "dialogue.hpp"
#include "key_wait.hpp"
#include "texts.hpp"

// There is no pause command here, so the wait is ours: on a terminal, one key
// press without Enter; otherwise one more byte of the remaining input.

namespace kadrimo {
namespace {

constexpr int terminal_fd = STDIN_FILENO;

// A key may send several bytes (an arrow key's escape sequence, a character
// of an input method); they arrive within moments of each other, so the key
// is over once the terminal has been quiet this long. A key held down repeats
// faster than that, so the whole key is given a limit too.
constexpr int quiet_milliseconds = 50;
constexpr std::chrono::milliseconds longest_key{300};

// Read by the signal handlers, so kept where they can reach them.
termios saved_terminal{};
termios raw_terminal{};
volatile std::sig_atomic_t terminal_is_raw{};

void set_handler(int signal_number, void (*handler)(int)) {
    struct sigaction action{};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    static_cast<void>(sigaction(signal_number, &action, nullptr));
}

// Handlers have no one to report a failure to, and must not disturb the
// errno of the code they interrupt; everything they call is
// async-signal-safe.

// The signal is blocked while its handler runs, so it is delivered again, to
// its default action, as the handler returns.
extern "C" void restore_and_end(int signal_number) {
    static_cast<void>(tcsetattr(terminal_fd, TCSANOW, &saved_terminal));
    set_handler(signal_number, SIG_DFL);
    static_cast<void>(std::raise(signal_number));
}

extern "C" void reapply_raw(int /*signal_number*/) {
    const int saved_errno = errno;
    if (terminal_is_raw == 1) static_cast<void>(tcsetattr(terminal_fd, TCSANOW, &raw_terminal));
    errno = saved_errno;
}

// Stops the way the stop signal would have, with the terminal as the user
// left it. When the process comes back, the continue handler has made the
// terminal raw again; where the system discarded the stop (an orphaned
// process group), this does.
extern "C" void restore_and_stop(int signal_number) {
    const int saved_errno = errno;
    static_cast<void>(tcsetattr(terminal_fd, TCSANOW, &saved_terminal));
    set_handler(signal_number, SIG_DFL);
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, signal_number);
    static_cast<void>(sigprocmask(SIG_UNBLOCK, &stop, nullptr));
    static_cast<void>(std::raise(signal_number));
    set_handler(signal_number, restore_and_stop);
    reapply_raw(signal_number);
    errno = saved_errno;
}

struct handled_signal {
    int number;
    void (*handler)(int);
};

// Every signal that the keyboard or the session can send while the terminal
// is raw puts it back first; those that end the run then end it as they
// would have, a stop stops, and the wait goes on raw once continued.
constexpr handled_signal handled_signals[] = {
    {SIGINT, restore_and_end},   {SIGQUIT, restore_and_end}, {SIGTERM, restore_and_end},
    {SIGHUP, restore_and_end},   {SIGTSTP, restore_and_stop}, {SIGCONT, reapply_raw},
};

// A signal that was ignored when the program started (nohup, trap '' INT)
// stays ignored: the user chose that, and the wait does not overrule it.
// The handlers stay after the wait, which is the program's last act: they
// then find the terminal as they would leave it.
void install_handlers() {
    for (const handled_signal& handled : handled_signals) {
        struct sigaction previous{};
        sigaction(handled.number, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) set_handler(handled.number, handled.handler);
    }
}

// The first byte of the key, then whatever else the same key sends.
void read_one_key() {
    constexpr std::size_t chunk = 64;
    char bytes[chunk];
    while (read(terminal_fd, bytes, sizeof bytes) < 0 && errno == EINTR) {
    }
    const auto end = std::chrono::steady_clock::now() + longest_key;
    pollfd terminal{.fd = terminal_fd, .events = POLLIN, .revents = {}};
    while (std::chrono::steady_clock::now() < end) {
        const int ready = poll(&terminal, 1, quiet_milliseconds);
        if (ready < 0 && errno == EINTR) continue;
        // Quiet, or a terminal that cannot be read: the key is over.
        if (ready <= 0 || read(terminal_fd, bytes, sizeof bytes) <= 0) break;
    }
}

void wait_on_terminal() {
    if (tcgetattr(terminal_fd, &saved_terminal) != 0) return;
    raw_terminal = saved_terminal;
    raw_terminal.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    // One byte is enough for a read to return, whatever the time limit.
    raw_terminal.c_cc[VMIN] = 1;

    install_handlers();
    terminal_is_raw = 1;
    // TCSAFLUSH drops whatever was typed before the prompt appeared, and
    // then whatever of the key, or after it, the drain left: nothing of it
    // reaches whatever reads the terminal next.
    if (tcsetattr(terminal_fd, TCSAFLUSH, &raw_terminal) == 0) read_one_key();
    terminal_is_raw = 0;
    tcsetattr(terminal_fd, TCSAFLUSH, &saved_terminal);
}

}  // namespace

void wait_for_key(std::istream& in, std::ostream& out) {
    if (isatty(terminal_fd) != 1) {
        wait_for_next_byte(in, out);
        return;
    }
    out << texts::key_wait_prompt << std::flush;
    wait_on_terminal();
    out << texts::line_end << std::flush;
}

}  // namespace kadrimo
