"""Runs the built program through pipes and checks every byte it writes."""
import fcntl
import os
import resource
import socket
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from program import environment_without_locale, main, run_program, under_test  # noqa: E402
from transcript import WAIT_TAIL, invalid_bytes, preset_bytes  # noqa: E402


def children_cpu():
    return sum(resource.getrusage(resource.RUSAGE_CHILDREN)[:2])


def run(stdin_bytes=None, stdin=subprocess.PIPE, close_stdin=False, **options):
    """A piped run; with close_stdin, one that starts with standard input closed."""
    return run_program(stdin_bytes, stdin=None if stdin_bytes is not None else stdin,
                       preexec_fn=(lambda: os.close(0)) if close_stdin else None, **options)


class piped_runs(unittest.TestCase):
    # On Windows the console streams are in text mode, so each line feed
    # arrives as CR LF, and the wait is the command interpreter's pause, whose
    # prompt is not ours: only what comes before it is compared there.
    def check(self, proc, expected):
        self.assertEqual(proc.returncode, 0)
        if under_test.windows:
            expected = expected.replace(b"\n", b"\r\n")
            self.assertEqual(proc.stdout[:len(expected)], expected)
        else:
            self.assertEqual(proc.stdout, expected + WAIT_TAIL)
        self.assertEqual(proc.stderr, b"")

    def test_typical_run(self):
        self.check(run(b"1\n1920\n1080\n"), preset_bytes("1600", "1296"))

    def test_runs_that_end_invalid(self):
        directory = os.open("/", os.O_RDONLY)  # every read of it fails
        self.addCleanup(os.close, directory)
        with open(os.devnull, "rb") as null:
            for answers, stdin in ((b"7\n1920\n1080\n", None), (b"", None), (None, null),
                                   (None, directory), (None, "closed")):
                with self.subTest(answers=answers, stdin=stdin):
                    closed = stdin == "closed"
                    self.check(run(answers, subprocess.PIPE if closed else stdin, closed),
                               invalid_bytes())

    def test_non_blocking_streams_are_waited_on(self):
        # Another program may leave a stream non-blocking: a full output pipe and
        # answers typed a byte at a time are waited on, without spinning. The
        # answers' socket is then reset: the read that fails ends them (height 5).
        # The CPU allowed is a plain run's (valgrind or an emulator may cost more
        # than the waits) and a little more.
        if under_test.windows:
            self.skipTest("no non-blocking streams on Windows")
        cpu = children_cpu()
        run(b"1\n1920\n5\n")
        plain = children_cpu() - cpu
        with socket.create_server(("127.0.0.1", 0)) as server:
            typing = socket.create_connection(server.getsockname())
            answers = server.accept()[0]
        answers.setblocking(False)
        shown, output = os.pipe()
        os.set_blocking(output, False)
        filled = os.write(output, bytes(fcntl.fcntl(output, fcntl.F_GETPIPE_SZ)))
        cpu = children_cpu()
        proc = subprocess.Popen(under_test.command, stdin=answers, stdout=output,
                                stderr=subprocess.PIPE)
        answers.close()
        os.close(output)
        time.sleep(1)
        while filled > 0:
            filled -= len(os.read(shown, filled))
        for byte in b"1\n1920\n5":
            time.sleep(0.08)
            typing.send(bytes([byte]))
        time.sleep(0.2)
        typing.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        typing.close()
        errors = proc.communicate(timeout=under_test.timeout)[1]
        with os.fdopen(shown, "rb") as screen:
            self.check(subprocess.CompletedProcess(under_test.command, proc.returncode,
                                                   screen.read(), errors),
                       preset_bytes("1600", "6"))
        self.assertLess(children_cpu() - cpu, plain + 0.3)

    def test_full_device(self):
        # The message is the console program's own (hostile_input.py).
        with open("/dev/full", "wb") as full:
            self.assertEqual(run(b"1 1920 1080\n", stdout=full).returncode, 1)

    def test_utf8_locale_changes_nothing_through_a_pipe(self):
        # The conversion is for a terminal's screen; a pipe or a file gets the
        # program's own bytes, whatever the locale says.
        for variable in ("LANG", "LC_CTYPE", "LC_ALL"):
            with self.subTest(variable=variable):
                self.check(run(b"1\n1920\n1080\n",
                               env=environment_without_locale(**{variable: "C.UTF-8"})),
                           preset_bytes("1600", "1296"))

    def test_arguments_are_ignored(self):
        self.check(run_program(b"1 1920 1080", "--help", "x"), preset_bytes("1600", "1296"))


if __name__ == "__main__":
    main()
