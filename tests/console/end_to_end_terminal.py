"""Runs the built program on a pseudo-terminal: answers typed at its prompts,
then the key wait, which must end on one key and leave the terminal as it
found it, however it ends."""
import fcntl
import os
import select
import signal
import subprocess
import sys
import termios
import time
import unittest

from transcript import KEY_WAIT_PROMPT, TARGET_PROMPT, sjis

COMMAND = []
TIMEOUT = 20


def stty_settings(fd):
    return subprocess.run(["stty", "-g"], stdin=fd, capture_output=True, check=True).stdout


def become_terminal_owner():
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class terminal_session:
    def __init__(self, answers_utf8=None):
        self.master, self.slave = os.openpty()
        self.before = stty_settings(self.slave)
        env = dict(os.environ, LANG="C", LC_ALL="C")
        self.proc = subprocess.Popen(COMMAND, stdin=self.slave, stdout=self.slave,
                                     stderr=self.slave, preexec_fn=become_terminal_owner,
                                     env=env)
        self.screen = b""

    def read_until(self, needle):
        deadline = time.monotonic() + TIMEOUT
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

    def finish(self):
        try:
            return self.proc.wait(timeout=TIMEOUT)
        finally:
            self.after = stty_settings(self.slave)
            os.close(self.master)
            os.close(self.slave)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class key_wait_on_a_terminal(unittest.TestCase):
    def start_at_wait(self):
        session = terminal_session()
        self.addCleanup(session.kill)
        session.read_until(sjis(TARGET_PROMPT))
        session.type(b"1\r1920\r1080\r")
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
        self.assertIn(sjis("横幅を基準にした高さ:1600\r\n高さを基準にした横幅:1296\r\n"),
                      session.screen)
        self.assertNotIn(b"k", session.screen.split(sjis(KEY_WAIT_PROMPT))[1])

    def test_keys_typed_ahead_do_not_count(self):
        session = terminal_session()
        self.addCleanup(session.kill)
        session.read_until(sjis(TARGET_PROMPT))
        # The trailing x is typed before the wait starts and must be dropped.
        session.type(b"1 1920 1080\rx")
        session.read_until(sjis(KEY_WAIT_PROMPT))
        session.settle()
        self.assertIsNone(session.proc.poll(), "a key typed ahead ended the wait")
        session.type(b" ")
        self.assertEqual(session.finish(), 0)
        self.assertEqual(session.after, session.before)

    def test_ctrl_c_restores_the_terminal(self):
        session = self.start_at_wait()
        session.type(b"\x03")
        self.assertEqual(session.finish(), -signal.SIGINT)
        self.assertEqual(session.after, session.before)

    def test_termination_signals_restore_the_terminal(self):
        for sig in (signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=sig):
                session = self.start_at_wait()
                session.proc.send_signal(sig)
                self.assertEqual(session.finish(), -sig)
                self.assertEqual(session.after, session.before)


if __name__ == "__main__":
    # The command to run, possibly through an emulator, is every argument.
    COMMAND = sys.argv[1:]
    unittest.main(argv=[sys.argv[0]])
