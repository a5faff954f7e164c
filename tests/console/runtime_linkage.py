"""Checks which shared libraries the released Linux program still loads: the
C++ runtime must be inside it and libm is not needed at all, but the C library
must stay shared (iconv loads glibc's conversion modules, which a fully static
program cannot)."""
import argparse
import re
import subprocess
import sys
import unittest

PROGRAM = ""
READELF = "readelf"

# (start of a library file name, whether the program may load it)
EXPECTATIONS = [
    (r"libstdc\+\+\.so", False),
    (r"libgcc_s\.so", False),
    (r"libc\+\+(abi)?\.so", False),
    (r"libc\.so\.6", True),
    # Loading it would cost every run a fifth of its start-up, for nothing.
    (r"libm\.so", False),
]


def needed_libraries():
    listing = subprocess.run([READELF, "--dynamic", PROGRAM], capture_output=True, text=True,
                             check=True).stdout
    return re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", listing)


class runtime_linkage(unittest.TestCase):
    def test_loaded_libraries(self):
        needed = needed_libraries()
        for pattern, allowed in EXPECTATIONS:
            with self.subTest(library=pattern):
                present = any(re.match(pattern, name) for name in needed)
                self.assertEqual(present, allowed, f"shared libraries loaded: {needed}")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--readelf", default="readelf")
    parser.add_argument("program")
    args, rest = parser.parse_known_args()
    PROGRAM, READELF = args.program, args.readelf
    unittest.main(argv=[sys.argv[0]] + rest)
