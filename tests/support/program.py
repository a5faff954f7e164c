"""The program under test as a script's command line names it (through its
emulator, where the build needs one), and how the scripts run it: each run
bounded in time, in an environment whose locale they choose."""
import argparse
import os
import subprocess
import sys
import unittest


class under_test:
    """Set once by main() from the command line; read by every test."""
    command = []
    timeout = 20.0
    # A Windows build: CR LF line ends, and the command interpreter's pause.
    windows = False


def environment_without_locale(**variables):
    """The caller's environment without the LC_ variables and LANGUAGE, so
    that only the given variables choose the locale."""
    env = {name: value for name, value in os.environ.items()
           if not name.startswith("LC_") and name != "LANGUAGE"}
    env.update(variables)
    return env


def run_program(stdin_bytes=None, *arguments, **options):
    """Runs the program to its end with these answers and arguments; the
    CompletedProcess, its output and its errors captured unless redirected."""
    options.setdefault("stdout", subprocess.PIPE)
    options.setdefault("stderr", subprocess.PIPE)
    return subprocess.run(under_test.command + list(arguments), input=stdin_bytes,
                          timeout=under_test.timeout, check=False, **options)


def main(default_tests=lambda: []):
    """Reads [--windows] [--timeout SECONDS] [--only TEST]... COMMAND... and
    runs the script's tests: those named by --only, else default_tests(),
    else all."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows", action="store_true",
                        help="the program is a Windows build (CR LF, the system's pause)")
    parser.add_argument("--timeout", type=float, default=under_test.timeout,
                        help="seconds one run may take (an emulated program may need minutes)")
    parser.add_argument("--only", action="append", default=[],
                        help="run only this test (class.method), for programs slow to start")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args, rest = parser.parse_known_args()
    under_test.command, under_test.timeout = args.command, args.timeout
    under_test.windows = args.windows
    unittest.main(module="__main__", argv=[sys.argv[0]] + rest + (args.only or default_tests()))
