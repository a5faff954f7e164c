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


def version_node(data, at):
    """One node of a VS_VERSIONINFO tree: (key, value bytes, children, length).
    A node is its length, its value's length, its type (1: text), a
    NUL-terminated UTF-16 key, the value and the children, each 4-aligned."""
    def aligned(offset):
        return (offset - start + 3) // 4 * 4 + start

    start = at
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = aligned(key_end + 2)
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    children = []
    child_at = aligned(value_at + value_size)
    while child_at < start + length:
        child = version_node(data, child_at)
        children.append(child)
        child_at = aligned(child_at + child[3])
    return key, value, children, length


def version_resource(path):
    """The fixed version numbers (four) and the strings of the resource."""
    with open(path, "rb") as f:
        data = f.read()
    found = data.find("VS_VERSION_INFO\0".encode("utf-16-le"))
    if found < 6:
        raise AssertionError(f"{path} has no version resource")
    _, fixed, children, _ = version_node(data, found - 6)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        raise AssertionError("the version resource has no VS_FIXEDFILEINFO")
    numbers = {"file": (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF),
               "product": (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16,
                           product_ls & 0xFFFF)}
    strings = {}
    for key, _, tables, _ in children:
        if key == "StringFileInfo":
            for _, _, entries, _ in tables:
                for name, value, _, _ in entries:
                    strings[name] = value.decode("utf-16-le").rstrip("\0")
    return numbers, strings


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
