"""Checks a Windows build of kadrimo without running it: the PE machine type
is the one the build is for, every DLL it imports comes with Windows itself,
so the executable runs on its own (the C++ runtime linked in), and the
scaling arithmetic is done in SSE2, each operation rounded to double, not in
x87 registers with their wider exponent range. Its version resource, read
here from the file's bytes, names the program and carries the version the
build was configured with.

    windows_executable.py --machine i386|x86-64 --objdump OBJDUMP FILE
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import version  # noqa: E402

MACHINE_TYPES = {"i386": 0x014C, "x86-64": 0x8664}

# DLLs that are part of every Windows installation. The MinGW runtime DLLs
# (libstdc++-6, libgcc_s_*, libwinpthread-1) are deliberately not here.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ntdll.dll",
               "shell32.dll", "ucrtbase.dll"}

ARGS = None


def pe_machine(path):
    with open(path, "rb") as f:
        header = f.read(4096)
    if header[:2] != b"MZ":
        raise AssertionError(f"{path} is not an MZ executable")
    (pe_offset,) = struct.unpack_from("<I", header, 0x3C)
    if header[pe_offset:pe_offset + 4] != b"PE\0\0":
        raise AssertionError(f"{path} has no PE header")
    (machine,) = struct.unpack_from("<H", header, pe_offset + 4)
    return machine


def imported_dlls(path):
    dump = subprocess.run([ARGS.objdump, "-p", path], capture_output=True, text=True, check=True)
    return [name.lower() for name in re.findall(r"DLL Name: (\S+)", dump.stdout)]


def disassembly(path, symbol_part):
    """The machine code of the one function whose symbol contains symbol_part."""
    symbols = subprocess.run([ARGS.objdump, "-t", path], capture_output=True, text=True,
                             check=True).stdout
    names = sorted(set(re.findall(r"(\S*" + re.escape(symbol_part) + r"\S*)", symbols)))
    if len(names) != 1:
        raise AssertionError(f"expected one symbol with {symbol_part}, found {names}")
    return subprocess.run([ARGS.objdump, "-d", "--no-show-raw-insn", f"--disassemble={names[0]}",
                           path], capture_output=True, text=True, check=True).stdout


def version_resource(path):
    """The fixed version numbers (the file's and the product's, four each)
    and the strings of the resource: its VS_FIXEDFILEINFO follows a
    signature, and each string is its UTF-16 name, NUL-ended and padded with
    NULs to four bytes, then its value, NUL-ended."""
    with open(path, "rb") as f:
        data = f.read()
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    table = [data.find(key.encode("utf-16-le")) for key in ("StringFileInfo", "VarFileInfo")]
    if fixed < 0 or min(table) < 0:
        raise AssertionError(f"{path} has no version resource")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, fixed + 8)
    numbers = {kind: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
               for kind, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls))}
    text = data[table[0]:table[1]].decode("utf-16-le")
    names = ("ProductName", "OriginalFilename", "ProductVersion", "FileVersion", "FileDescription")
    return numbers, {name: value for name in names
                     for value in re.findall(name + r"\x00+([^\x00]*)\x00", text)}


def is_system_dll(name):
    return name in SYSTEM_DLLS or name.startswith("api-ms-win-")


class windows_executable(unittest.TestCase):
    def test_machine_type(self):
        self.assertEqual(hex(pe_machine(ARGS.file)), hex(MACHINE_TYPES[ARGS.machine]))

    def test_imports_only_system_dlls(self):
        dlls = imported_dlls(ARGS.file)
        self.assertIn("kernel32.dll", dlls)
        self.assertEqual([name for name in dlls if not is_system_dll(name)], [])

    def test_version_resource_names_the_program_and_its_version(self):
        numbers, strings = version_resource(ARGS.file)
        parts = [int(part) for part in ARGS.version.split(".")]
        expected_numbers = tuple(parts + [0] * (4 - len(parts)))
        self.assertEqual(numbers, {"file": expected_numbers, "product": expected_numbers})
        for name, expected in (("ProductName", "kadrimo"), ("OriginalFilename", "kadrimo.exe"),
                               ("ProductVersion", ARGS.version), ("FileVersion", ARGS.version)):
            self.assertEqual(strings.get(name), expected, name)
        self.assertIn("kadrimo", strings.get("FileDescription", ""))

    def test_scaling_is_double_arithmetic(self):
        for function in ("height_for_widthEddd", "width_for_heightEddd"):
            with self.subTest(function=function):
                code = disassembly(ARGS.file, function)
                self.assertRegex(code, r"\bdivsd\b")
                self.assertRegex(code, r"\bmulsd\b")
                self.assertNotRegex(code, r"\bf(div|mul)")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--machine", choices=sorted(MACHINE_TYPES), required=True)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("file")
    ARGS, rest = parser.parse_known_args()
    ARGS.version = version()
    unittest.main(argv=[sys.argv[0]] + rest)
