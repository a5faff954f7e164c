"""Checks that the banner shows the version the build was configured with.

    banner_version.py [--windows] COMMAND...   runs the program
    banner_version.py --in-file FILE           reads the executable

The expected banner is built from the Japanese text with Python's cp932 codec
and the version CMake knows (KADRIMO_VERSION), not taken from the program.
"""
import argparse
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import banner, sjis  # noqa: E402

ARGS = None


def expected_banner():
    return sjis(banner())


class banner_version(unittest.TestCase):
    def test_banner_carries_the_project_version(self):
        banner = expected_banner()
        if ARGS.in_file:
            with open(ARGS.in_file, "rb") as f:
                self.assertEqual(f.read().count(banner), 1)
            return
        proc = subprocess.run(ARGS.command, input=b"", capture_output=True, timeout=ARGS.timeout)
        if ARGS.windows:
            banner = banner.replace(b"\n", b"\r\n")
        self.assertEqual(proc.stdout[:len(banner)], banner)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--windows", action="store_true")
    parser.add_argument("--in-file")
    parser.add_argument("--timeout", type=float, default=30,
                        help="seconds the run may take (an emulated program may need minutes)")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
