"""Runs the built program on input and output that a careless or hostile
caller may hand it. Every run must end promptly, by itself, without a crash;
input it cannot read ends the dialogue as an invalid answer, and output it
cannot write ends the run with a failure status and one line on stderr."""
import os
import random
import re
import resource
import signal
import subprocess
import sys
import tempfile
import threading
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from program import main, run_program as run, under_test  # noqa: E402
from transcript import (  # noqa: E402
    INVALID, SOURCE_PROMPTS, TARGET_PROMPT, WAIT_TAIL, invalid_bytes, opening,
    preset_bytes, sjis)

MEGABYTE = 1 << 20

OUTPUT_FAILURE = b"kadrimo: cannot write to standard output"
RESULTS_TAIL = re.compile(re.escape(sjis("横幅を基準にした高さ:")) + rb"[-+.0-9a-z]+\n"
                          + re.escape(sjis("高さを基準にした横幅:")) + rb"[-+.0-9a-z]+\n\n"
                          + re.escape(WAIT_TAIL) + rb"\Z")


def width_unreadable():
    return sjis(opening() + TARGET_PROMPT + "\n" + "横幅を入力:\n" + INVALID)


def height_unreadable():
    return sjis(opening() + TARGET_PROMPT + "\n" + SOURCE_PROMPTS + "\n" + INVALID)


def run_measured(stdin):
    """Runs the program to its end and returns its exit status, its output
    and its peak resident memory in KiB."""
    with tempfile.TemporaryFile() as output:
        proc = subprocess.Popen(under_test.command, stdin=stdin, stdout=output, stderr=subprocess.DEVNULL)
        watchdog = threading.Timer(under_test.timeout, proc.kill)
        watchdog.start()
        try:
            _, status, usage = os.wait4(proc.pid, 0)
        finally:
            watchdog.cancel()
        proc.returncode = os.waitstatus_to_exitcode(status)
        output.seek(0)
        return proc.returncode, output.read(), usage.ru_maxrss


# (name, input, everything written before the key wait). Expected results
# are worked out by hand: 960 x 800 with a picture of 1 x 1 gives 0.833333
# and 1.2.
ANSWERS = [
    ("crlf_line_ends", b"1\r\n1920\r\n1080\r\n", preset_bytes("1600", "1296")),
    ("nul_before_width", b"1\n\x00 1920 1080\n", width_unreadable()),
    ("nul_before_height", b"1 1920\x00 1080\n", height_unreadable()),
    ("nul_and_junk_after_answers", b"1 1920 1080\x00\xff\x00", preset_bytes("1600", "1296")),
    ("lone_shift_jis_lead_byte", b"\x81", invalid_bytes()),
    ("shift_jis_lead_byte_before_width", b"1 \x82" + b"1920 1080", width_unreadable()),
    # Piped input is Shift-JIS: its full-width digits read as digits, UTF-8's do not.
    ("shift_jis_full_width_digits", b"1 " + sjis("１９２０") + b" 1080", preset_bytes("1600", "1296")),
    ("utf8_full_width_digits_in_a_pipe", b"1 1920 " + "１０８０".encode("utf-8"),
     height_unreadable()),
    ("invalid_utf8", b"\xc3\x28 \xc0\xaf 1 1920 1080", invalid_bytes()),
    ("megabyte_width_beyond_double", b"1 " + b"9" * MEGABYTE + b" 1080", width_unreadable()),
    # No answer may run past 4,096 characters, whatever they are.
    ("megabyte_of_leading_zeros", b"0" * MEGABYTE + b"1 1920 1080", invalid_bytes()),
    ("megabyte_of_decimals", b"1 1920 1080." + b"0" * MEGABYTE, height_unreadable()),
]


class hostile_input(unittest.TestCase):
    def check(self, proc, expected):
        self.assertEqual(proc.returncode, 0)
        self.assertEqual(proc.stderr, b"")
        self.assertEqual(proc.stdout, expected + WAIT_TAIL)

    def test_answers(self):
        for name, answers, expected in ANSWERS:
            with self.subTest(name):
                self.check(run(answers), expected)

    def test_endless_streams(self):
        for line, expected in ((b"1", preset_bytes("0.833333", "1.2")), (b"x", invalid_bytes())):
            with self.subTest(line=line):
                with subprocess.Popen(["yes", line], stdout=subprocess.PIPE) as endless:
                    proc = run(stdin=endless.stdout)
                    endless.kill()
                self.check(proc, expected)

    def test_endless_number_takes_no_memory(self):
        """Extraction keeps every digit of a number; an endless one ends the
        run at the length limit, its memory no more than a short run's."""
        with open(os.devnull, "rb") as nothing:
            _, _, short_run = run_measured(nothing)
        endless = subprocess.Popen(["sh", "-c", "printf '1 '; yes 1 | tr -d '\\n'"],
                                   stdout=subprocess.PIPE)
        try:
            status, stdout, peak = run_measured(endless.stdout)
        finally:
            endless.kill()
            endless.wait()
        self.assertEqual((status, stdout), (0, width_unreadable() + WAIT_TAIL))
        self.assertLess(peak, short_run + 2048, "KiB at the peak")

    def test_random_junk(self):
        for seed in range(16):
            with self.subTest(seed=seed):
                generator = random.Random(seed)
                junk = bytes(generator.randrange(256) for _ in range(4096))
                # Some runs get numbers to read before the junk starts.
                prefix = [b"", b"1 ", b"9 640 ", b"3 1920 "][seed % 4]
                proc = run(prefix + junk)
                self.assertEqual(proc.returncode, 0)
                self.assertEqual(proc.stderr, b"")
                self.assertTrue(proc.stdout.startswith(sjis(opening() + TARGET_PROMPT + "\n")))
                # Either the results or the invalid-input message: never both, never neither.
                ended_in_results = RESULTS_TAIL.search(proc.stdout) is not None
                ended_invalid = proc.stdout.endswith(sjis(INVALID) + WAIT_TAIL)
                self.assertNotEqual(ended_in_results, ended_invalid)
                self.assertEqual(proc.stdout.count(sjis(INVALID)), int(ended_invalid))


def unwritable_output_fails(test, proc, cause):
    test.assertEqual((proc.returncode, proc.stderr), (1, OUTPUT_FAILURE + b": " + cause + b"\n"))


class unwritable_output(unittest.TestCase):
    def test_full_device(self):
        # A number out of range sets errno too; it must not pass for the cause.
        for answers in (b"1 1920 1080\n", b"7\n", b"", b"1 1e999 1080\n"):
            with self.subTest(answers=answers), open("/dev/full", "wb") as full:
                unwritable_output_fails(self, run(answers, stdout=full), b"No space left on device")

    def test_closed_stdout(self):
        proc = run(b"1 1920 1080\n", stdout=None, preexec_fn=lambda: os.close(1))
        unwritable_output_fails(self, proc, b"Bad file descriptor")

    def test_reader_gone(self):
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            proc = run(b"1 1920 1080\n", stdout=write_end)
        finally:
            os.close(write_end)
        if proc.returncode != -signal.SIGPIPE:
            unwritable_output_fails(self, proc, b"Broken pipe")

    def test_no_key_wait_on_a_terminal_once_output_failed(self):
        """The answers come from a terminal; what reaches the file ends before
        the last text: the run must not then wait for a key whose prompt
        nobody saw."""
        limit = len(sjis(opening() + TARGET_PROMPT)) + 1

        def limit_file_size():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
        master, slave = os.openpty()
        try:
            with tempfile.TemporaryFile() as output:
                proc = subprocess.Popen(under_test.command, stdin=slave, stdout=output,
                                        stderr=subprocess.PIPE, preexec_fn=limit_file_size)
            os.write(master, b"7\r")
            try:
                proc.stderr = proc.communicate(timeout=under_test.timeout)[1]
            finally:
                if proc.poll() is None:
                    proc.kill()
                    proc.wait()
        finally:
            os.close(master)
            os.close(slave)
        unwritable_output_fails(self, proc, b"File too large")

if __name__ == "__main__":
    main()
