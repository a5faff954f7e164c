"""Checks that a build this machine cannot run shows the version it was
configured with: its executable holds the banner once. (Where a build runs,
the piped runs compare its banner with all else it writes.)

    banner_version.py FILE

The expected banner is built from the Japanese text with Python's cp932 codec
and the version CMake knows (KADRIMO_VERSION), not taken from the program.
"""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import banner, sjis  # noqa: E402

FILE = None


class banner_version(unittest.TestCase):
    def test_banner_carries_the_project_version(self):
        with open(FILE, "rb") as f:
            self.assertEqual(f.read().count(sjis(banner())), 1)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    FILE = sys.argv.pop()
    unittest.main()
