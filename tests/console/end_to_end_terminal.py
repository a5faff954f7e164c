"""Runs the built program on a pseudo-terminal: answers typed at its prompts,
then the key wait, which must end on one key and leave the terminal as it
found it, however it ends. The texts reach a UTF-8 terminal as UTF-8 and any
other terminal as Shift-JIS.

    end_to_end_terminal.py COMMAND...             a POSIX build
    end_to_end_terminal.py --windows COMMAND...   a Windows build under wine
"""
import fcntl
import os
import re
import resource
import select
import signal
import subprocess
import sys
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from program import environment_without_locale, main, under_test  # noqa: E402
from transcript import (  # noqa: E402
    KEY_WAIT_PROMPT, TARGET_PROMPT, banner, invalid_text, opening, preset_text,
    results, sjis)



def stty_settings(fd):
    return subprocess.run(["stty", "-g"], stdin=fd, capture_output=True, check=True).stdout


def no_core_dump():
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))


def become_terminal_owner():
    """The program in a session of its own, the terminal its controlling one,
    so that keys such as Ctrl-C send their signals to it."""
    no_core_dump()
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


def own_job(ignored=()):
    """The program as a job of the test's session, its own process group, with
    the given signals ignored as a shell's nohup or trap '' would. Its group
    is not orphaned, so a stop signal does stop it."""
    def start():
        no_core_dump()
        os.setpgid(0, 0)
        for sig in ignored:
            signal.signal(sig, signal.SIG_IGN)
    return start


def pending_input(fd):
    """Whatever is still queued for the next reader of the terminal, a
    partial line included."""
    attrs = termios.tcgetattr(fd)
    attrs[3] &= ~termios.ICANON
    attrs[6][termios.VMIN] = 0
    attrs[6][termios.VTIME] = 0
    termios.tcsetattr(fd, termios.TCSANOW, attrs)
    return os.read(fd, 4096)


class terminal_session:
    def __init__(self, lang="C", echo=True, start=become_terminal_owner, command=None):
        self.master, self.slave = os.openpty()
        if not echo:
            attrs = termios.tcgetattr(self.slave)
            attrs[3] &= ~termios.ECHO
            termios.tcsetattr(self.slave, termios.TCSANOW, attrs)
        self.before = stty_settings(self.slave)
        self.proc = subprocess.Popen(command or under_test.command, stdin=self.slave, stdout=self.slave,
                                     stderr=self.slave, preexec_fn=start,
                                     env=environment_without_locale(LANG=lang))
        self.screen = b""

    def read_until(self, needle):
        deadline = time.monotonic() + under_test.timeout
        while needle not in self.screen:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"{needle!r} never appeared; screen: {self.screen!r}")
            ready, _, _ = select.select([self.master], [], [], remaining)
            if ready:
                self.screen += os.read(self.master, 4096)

    def type(self, text):
        os.write(self.master, text)

    def settle(self):
        """Gives the program a moment to act on what it was sent."""
        time.sleep(0.3)

    def drain(self):
        """Takes in whatever the program wrote before it ended."""
        while select.select([self.master], [], [], 0.2)[0]:
            self.screen += os.read(self.master, 4096)

    def finish(self):
        try:
            status = self.proc.wait(timeout=under_test.timeout)
            self.drain()
            return status
        finally:
            self.after = stty_settings(self.slave)
            self.left_over = pending_input(self.slave)
            os.close(self.master)
            os.close(self.slave)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class key_wait_on_a_terminal(unittest.TestCase):
    def start_at_wait(self, typed=b"1\r1920\r1080\r", start=become_terminal_owner):
        session = terminal_session(start=start)
        self.addCleanup(session.kill)
        session.read_until(sjis(TARGET_PROMPT))
        session.type(typed)
        session.read_until(sjis(KEY_WAIT_PROMPT))
        session.settle()
        return session

    def test_one_key_without_enter_ends_the_run(self):
        session = self.start_at_wait()
        self.assertIsNone(session.proc.poll())
        attrs = termios.tcgetattr(session.slave)
        self.assertFalse(attrs[3] & termios.ICANON, "wait should not need Enter")
        self.assertFalse(attrs[3] & termios.ECHO, "the key should not be echoed")
        session.type(b"k")
        self.assertEqual(session.finish(), 0)
        self.assertEqual(session.after, session.before)
        self.assertNotIn(b"k", session.screen.split(sjis(KEY_WAIT_PROMPT))[1])

    def test_keys_typed_ahead_do_not_count(self):
        # The trailing x is typed before the wait starts and must be dropped.
        session = self.start_at_wait(b"1 1920 1080\rx")
        self.assertIsNone(session.proc.poll(), "a key typed ahead ended the wait")
        session.type(b" ")
        self.assertEqual(session.finish(), 0)
        self.assertEqual(session.after, session.before)

    def test_every_byte_of_the_key_is_taken(self):
        """Nothing of a key that sends several bytes reaches whatever reads the
        terminal next, also when its bytes arrive a moment apart, or a signal
        comes between them; a key typed after a moment's quiet does."""
        keys = (("arrow", [b"\x1b[A"]), ("f5_in_parts", [b"\x1b", b"[", b"1", b"5~"]),
                ("arrow_and_a_signal", [b"\x1b", signal.SIGCONT, b"[A"]),
                ("utf8_kana", ["カ".encode("utf-8")]), ("shift_jis_kana", ["カ".encode("cp932")]))
        for name, parts in keys:
            with self.subTest(key=name):
                session = self.start_at_wait()
                # Further apart in all than the quiet that ends a key, but
                # never that long between two parts.
                for part in parts:
                    if isinstance(part, bytes):
                        session.type(part)
                    else:
                        session.proc.send_signal(part)
                    time.sleep(0.025)
                # The key is over after a moment's quiet: a key typed later
                # is the shell's.
                time.sleep(0.2)
                session.type(b"z")
                self.assertEqual(session.finish(), 0)
                self.assertEqual((session.after, session.left_over), (session.before, b"z"))

    def test_signals_restore_the_terminal(self):
        """Those of keys (Ctrl-C, Ctrl-\\) and those sent by another process."""
        for cause, sig in ((b"\x03", signal.SIGINT), (b"\x1c", signal.SIGQUIT),
                           (None, signal.SIGTERM), (None, signal.SIGHUP)):
            with self.subTest(signal=sig):
                session = self.start_at_wait()
                if cause:
                    session.type(cause)
                else:
                    session.proc.send_signal(sig)
                self.assertEqual(session.finish(), -sig)
                self.assertEqual(session.after, session.before)

    def wait_until_stopped(self, session):
        deadline = time.monotonic() + under_test.timeout
        while time.monotonic() < deadline:
            pid, status = os.waitpid(session.proc.pid, os.WNOHANG | os.WUNTRACED)
            if pid != 0:
                self.assertTrue(os.WIFSTOPPED(status), f"ended instead of stopping: {status}")
                return
            time.sleep(0.02)
        self.fail("the program did not stop")

    def test_stop_and_continue_keep_the_wait_a_key_wait(self):
        """Ctrl-Z gives the user back the terminal as it was; fg makes it raw
        again, so one key without Enter still ends the wait. A signal ignored
        by whoever started the program stays ignored during the wait."""
        for ignored in ((), (signal.SIGINT, signal.SIGHUP)):
            with self.subTest(ignored=ignored):
                session = self.start_at_wait(start=own_job(ignored))
                for sig in ignored:
                    session.proc.send_signal(sig)
                session.settle()
                self.assertIsNone(session.proc.poll(), "an ignored signal ended the wait")
                for _ in range(2):
                    session.proc.send_signal(signal.SIGTSTP)
                    self.wait_until_stopped(session)
                    self.assertEqual(stty_settings(session.slave), session.before)
                    session.proc.send_signal(signal.SIGCONT)
                    session.settle()
                    self.assertFalse(termios.tcgetattr(session.slave)[3] & termios.ICANON)
                session.type(b"k")
                self.assertEqual(session.finish(), 0)
                self.assertEqual(session.after, session.before)

    def test_ctrl_z_that_cannot_stop_leaves_the_wait_raw(self):
        """In a session of its own the program's group is orphaned, and the
        system discards the stop."""
        session = self.start_at_wait()
        session.type(b"\x1a")
        session.settle()
        session.type(b"k")
        self.assertEqual(session.finish(), 0)
        self.assertEqual(session.after, session.before)


def on_screen(text, encoding):
    """What a terminal shows for text the program writes: each line feed
    arrives as carriage return and line feed."""
    return text.replace("\n", "\r\n").encode(encoding)


# The locale that the program's environment names, and the encoding the
# screen and the keyboard must then use. A locale that is not installed still
# says its encoding by its name.
LOCALES = (("C.UTF-8", "utf-8"), ("C", "cp932"), ("xx_XX.UTF-8", "utf-8"))


class encoding_on_a_terminal(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        available = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout
        if "c.utf8" not in available.lower().replace("-", "").split():
            raise AssertionError("the C.UTF-8 locale is missing; glibc builds it in")

    def run_to_the_end(self, lang, encoding, answers):
        # Without echo the screen holds the program's output alone.
        session = terminal_session(lang=lang, echo=False)
        self.addCleanup(session.kill)
        session.read_until(on_screen(banner(), encoding))
        session.type(answers.encode(encoding))
        session.read_until(on_screen(KEY_WAIT_PROMPT, encoding))
        session.settle()
        self.assertIsNone(session.proc.poll(), "the run ended before the key")
        session.type(b"k")
        status = session.finish()
        return session, status

    def test_every_text_reaches_the_screen_in_the_terminal_encoding(self):
        runs = (("preset", "1\r1920\r1080\r", preset_text("1600", "1296")),
                ("invalid", "7\r", invalid_text()),
                # Typed with the input method on, in the terminal's encoding.
                ("full_width", "５\r５６９\r１９２０\r", preset_text("1009.97", "1081.69")))
        for lang, encoding in LOCALES:
            for name, answers, text in runs:
                with self.subTest(lang=lang, run=name):
                    session, status = self.run_to_the_end(lang, encoding, answers)
                    self.assertEqual(status, 0)
                    self.assertEqual(session.screen,
                                     on_screen(text + KEY_WAIT_PROMPT + "\n", encoding))
                    self.assertEqual(session.after, session.before)


# Escape sequences a console may send a terminal: control sequences (cursor,
# erasing) and operating system commands (the window title).
ESCAPE_SEQUENCE = re.compile(r"\x1b\[[0-?]*[ -/]*[@-~]|\x1b\][^\x07\x1b]*(?:\x07|\x1b\\)")


def readable_lines(screen):
    """The text a reader sees on a screen: escape sequences and carriage
    returns dropped, and the ends of lines, which a console may clear rather
    than fill with spaces."""
    text = ESCAPE_SEQUENCE.sub("", screen.replace("\r", ""))
    return "\n".join(line.rstrip(" ") for line in text.split("\n"))


class windows_console_on_a_terminal(unittest.TestCase):
    """Wine gives a Windows program run on a terminal a console, which shows
    it on the terminal in the terminal's encoding. The program's Shift-JIS
    must reach that console as characters, whatever its code page."""

    def run_on_console(self, answers, last_line, command=None):
        """Types the answers, each with Enter, once the console has taken
        over the terminal; ends the pause with a key. Returns the screen."""
        session = terminal_session(lang="C.UTF-8", echo=False, command=command)
        self.addCleanup(session.kill)
        session.read_until(TARGET_PROMPT.encode("utf-8"))
        # The console reads keys one by one once it has taken over the
        # terminal; before that, the terminal would turn Enter into a line feed.
        deadline = time.monotonic() + under_test.timeout
        while termios.tcgetattr(session.slave)[3] & termios.ICANON:
            self.assertLess(time.monotonic(), deadline, "the console never took over the terminal")
            time.sleep(0.05)
        session.settle()
        for answer in answers:
            session.type(answer.encode("utf-8") + b"\r")
            session.settle()
        session.read_until(last_line.encode("utf-8"))
        # The command interpreter's pause, whose text is its own, has
        # started once nothing more comes.
        session.settle()
        session.drain()
        self.assertIsNone(session.proc.poll(), "the run ended before the key")
        session.type(b"k")
        self.assertEqual(session.finish(), 0)
        return session.screen.decode("utf-8")

    def test_a_whole_run_reads_in_japanese(self):
        screen = self.run_on_console(["9", "861", "1206", "640", "960"],
                                     "高さを基準にした横幅:685.373")
        self.assertEqual([c for c in screen if "\x80" <= c <= "\x9f" or c == "\ufffd"], [])
        # The answers appear where they were typed, each ended by the Enter.
        typed = (opening() + "ターゲット:9\n\n目標の横幅を入力\n861\n目標の高さを入力\n1206\n\n"
                 "横幅を入力:640\n高さを入力:960\n\n" + results("896.446", "685.373"))
        self.assertIn(readable_lines(typed), readable_lines(screen))

    def test_full_width_answers_read_on_any_code_page(self):
        """Code page 65001 hands a program that reads bytes UTF-8, which a
        Japanese reading would refuse, and 932 Shift-JIS; the console's own
        UTF-16 is the same on every code page."""
        program = "Z:" + os.path.abspath(under_test.command[-1]).replace("/", "\\")
        for code_page in (65001, 932):
            with self.subTest(code_page=code_page):
                command = under_test.command[:-1] + ["cmd", "/c", f"chcp {code_page} >nul & {program}"]
                screen = self.run_on_console(["１", "１９２０", "１０８０"],
                                             "高さを基準にした横幅:1296", command)
                self.assertIn(readable_lines(results("1600", "1296")), readable_lines(screen))


if __name__ == "__main__":
    main(lambda: ["windows_console_on_a_terminal"] if under_test.windows else [
        "key_wait_on_a_terminal", "encoding_on_a_terminal"])
