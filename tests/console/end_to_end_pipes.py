"""Runs the built program through pipes and checks every byte it writes."""
import argparse
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import WAIT_TAIL, invalid_run, preset_run  # noqa: E402

COMMAND = []
TIMEOUT = 20
# On Windows the console streams are in text mode, so each line feed arrives
# as CR LF, and the wait is the command interpreter's pause, whose prompt is
# not ours: only what comes before it is compared there.
WINDOWS = False


def run(stdin_bytes=None, stdin=subprocess.PIPE, close_stdin=False, env=None):
    proc = subprocess.run(
        COMMAND,
        input=stdin_bytes,
        stdin=None if stdin_bytes is not None else stdin,
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
        timeout=TIMEOUT,
        preexec_fn=(lambda: os.close(0)) if close_stdin else None,
        env=env,
    )
    return proc


class piped_runs(unittest.TestCase):
    def check(self, proc, expected):
        self.assertEqual(proc.returncode, 0)
        if WINDOWS:
            expected = expected.replace(b"\n", b"\r\n")
            self.assertEqual(proc.stdout[:len(expected)], expected)
        else:
            self.assertEqual(proc.stdout, expected + WAIT_TAIL)
        self.assertEqual(proc.stderr, b"")

    def test_typical_run(self):
        self.check(run(b"1\n1920\n1080\n"), preset_run("1600", "1296"))

    def test_invalid_target(self):
        self.check(run(b"7\n1920\n1080\n"), invalid_run())

    def test_empty_input(self):
        self.check(run(b""), invalid_run())

    def test_dev_null(self):
        with open(os.devnull, "rb") as null:
            self.check(run(stdin=null), invalid_run())

    def test_closed_stdin(self):
        self.check(run(close_stdin=True), invalid_run())

    def test_utf8_locale_changes_nothing_through_a_pipe(self):
        # The conversion is for a terminal's screen; a pipe or a file gets the
        # program's own bytes, whatever the locale says.
        plain = {name: value for name, value in os.environ.items()
                 if not name.startswith("LC_") and name != "LANGUAGE"}
        for variable in ("LANG", "LC_CTYPE", "LC_ALL"):
            with self.subTest(variable=variable):
                self.check(run(b"1\n1920\n1080\n", env=dict(plain, **{variable: "C.UTF-8"})),
                           preset_run("1600", "1296"))

    def test_arguments_are_ignored(self):
        proc = subprocess.run(COMMAND + ["--help", "x"], input=b"1 1920 1080", capture_output=True,
                              timeout=TIMEOUT)
        self.check(proc, preset_run("1600", "1296"))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows", action="store_true",
                        help="the program is a Windows build (CR LF, the system's pause)")
    parser.add_argument("--timeout", type=float, default=TIMEOUT,
                        help="seconds one run may take (an emulated program may need minutes)")
    parser.add_argument("--only", action="append", default=[],
                        help="run only this test (class.method), for programs slow to start")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args, rest = parser.parse_known_args()
    COMMAND = args.command
    WINDOWS = args.windows
    TIMEOUT = args.timeout
    unittest.main(argv=[sys.argv[0]] + rest + args.only)
