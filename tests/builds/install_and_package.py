"""Installs a build into a scratch prefix and packages it with CPack, then
looks inside what came out: kadrimo in bin/, packages named with the version
and the architecture, the licence in both Linux archives, the Debian package
for the right architecture and with nothing for lintian to object to; for
Windows, the program with its README.txt and LICENSE.txt at the top of the
folder and of the zip, the program in the zip stripped; for the web, the
page with the same two texts, in kadrimo-VERSION-web.zip, and the site to
host with them, in kadrimo-VERSION-web-site.zip.

    install_and_package.py --build DIR --system linux|windows|web
                           [--arch x64|x86|arm64] --cmake CMAKE --cpack CPACK
                           [--objdump OBJDUMP]  (Windows)
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tarfile
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import version  # noqa: E402

ARGS = None
DEBIAN_ARCH = {"x64": "amd64", "x86": "i386", "arm64": "arm64"}
COPYRIGHT = "usr/share/doc/kadrimo/copyright"

# lintian without the caller's configuration or environment, as Debian's own
# profile sees it, failing on warnings as well as errors; it needs no network.
LINTIAN = ["lintian", "--no-cfg", "--ignore-lintian-env", "--profile", "debian",
           "--display-info", "--fail-on", "error,warning"]


# What sits at the top of each zip; the folder holds all of it.
TEXTS = ["LICENSE.txt", "README.txt"]
WEB_ZIPS = {"web": TEXTS + ["kadrimo.html"],
            "web-site": TEXTS + ["apple-touch-icon.png", "icon-192.png", "icon-512.png",
                                 "icon-maskable-512.png", "index.html", "manifest.webmanifest",
                                 "sw.js"]}
FLAT_FILES = {"windows": TEXTS + ["kadrimo.exe"],
              "web": sorted(set(WEB_ZIPS["web"] + WEB_ZIPS["web-site"]))}


def program_name():
    return "kadrimo.exe" if ARGS.system == "windows" else "kadrimo"


def coff_symbol_count(executable):
    """NumberOfSymbols from the COFF file header that follows "PE\0\0"."""
    (pe_offset,) = struct.unpack_from("<I", executable, 0x3C)
    (count,) = struct.unpack_from("<I", executable, pe_offset + 4 + 12)
    return count


def section_names(path):
    dump = subprocess.run([ARGS.objdump, "-h", path], check=True, capture_output=True,
                          text=True).stdout
    return re.findall(r"^\s*\d+\s+(\S+)", dump, re.MULTILINE)


def check_text_for_notepad(test, name, text):
    """CR LF line ends only; the README is UTF-8 with a byte order mark."""
    test.assertNotIn(b"\n", text.replace(b"\r\n", b""), name)
    test.assertNotIn(b"\r", text.replace(b"\r\n", b""), name)
    if name == "README.txt":
        test.assertTrue(text.startswith(b"\xef\xbb\xbf"), "README.txt has no byte order mark")
        test.assertIn(f"kadrimo {ARGS.version} ", text.decode("utf-8-sig"))


class install_and_package(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="kadrimo-package-")
        self.addCleanup(scratch.cleanup)
        self.scratch = scratch.name

    def test_install_puts_the_program_in_bin(self):
        prefix = os.path.join(self.scratch, "prefix")
        subprocess.run([ARGS.cmake, "--install", ARGS.build, "--prefix", prefix],
                       check=True, capture_output=True)
        if ARGS.system in FLAT_FILES:
            self.assertEqual(sorted(os.listdir(prefix)), FLAT_FILES[ARGS.system])
            return
        self.assertEqual(os.listdir(os.path.join(prefix, "bin")), [program_name()])
        self.assertTrue(os.access(os.path.join(prefix, "bin", program_name()), os.X_OK))

    def test_packages_carry_version_and_architecture(self):
        subprocess.run([ARGS.cpack, "--config", os.path.join(ARGS.build, "CPackConfig.cmake"),
                        "-B", self.scratch], check=True, capture_output=True)
        made = sorted(f for f in os.listdir(self.scratch)
                      if os.path.isfile(os.path.join(self.scratch, f)))
        stem = f"kadrimo-{ARGS.version}-{ARGS.system}-{ARGS.arch}"
        if ARGS.system == "web":
            names = {f"kadrimo-{ARGS.version}-{kind}.zip": kind for kind in WEB_ZIPS}
            self.assertEqual(made, sorted(names))
            for name, kind in names.items():
                with zipfile.ZipFile(os.path.join(self.scratch, name)) as archive:
                    self.assertEqual(sorted(archive.namelist()), WEB_ZIPS[kind])
                    readme = archive.read("README.txt").decode()
                    self.assertIn(f"kadrimo {ARGS.version} ", readme)
                    # Its README sends the user to no page the zip does not hold.
                    self.assertLessEqual(set(re.findall(r"[\w-]+\.html", readme)),
                                         set(archive.namelist()), kind)
            return
        if ARGS.system == "windows":
            self.assertEqual(made, [f"{stem}.zip"])
            with zipfile.ZipFile(os.path.join(self.scratch, made[0])) as archive:
                self.assertEqual(sorted(archive.namelist()), FLAT_FILES["windows"])
                archive.extractall(os.path.join(self.scratch, "unpacked"))
            unpacked = os.path.join(self.scratch, "unpacked")
            for name in ("README.txt", "LICENSE.txt"):
                with open(os.path.join(unpacked, name), "rb") as f:
                    check_text_for_notepad(self, name, f.read())
            program = os.path.join(unpacked, "kadrimo.exe")
            with open(program, "rb") as f:
                self.assertEqual(coff_symbol_count(f.read()), 0, "kadrimo.exe keeps its symbols")
            sections = section_names(program)
            self.assertIn(".text", sections)
            self.assertIn(".rsrc", sections)
            self.assertEqual([name for name in sections if name.startswith(".debug")], [])
            return
        deb = f"kadrimo_{ARGS.version}_{DEBIAN_ARCH[ARGS.arch]}.deb"
        self.assertEqual(made, sorted([f"{stem}.tar.gz", deb]))
        with tarfile.open(os.path.join(self.scratch, f"{stem}.tar.gz")) as archive:
            self.assertIn(f"{stem}/bin/kadrimo", archive.getnames())
            copyright_text = archive.extractfile(f"{stem}/share/doc/kadrimo/copyright").read()
            self.assertTrue(copyright_text.startswith(b"MIT License"))
        deb_path = os.path.join(self.scratch, deb)
        if shutil.which("dpkg-deb") is None:
            print("dpkg-deb not found: the Debian package's contents are not checked", file=sys.stderr)
            return
        contents = subprocess.run(["dpkg-deb", "--contents", deb_path], check=True,
                                  capture_output=True, text=True).stdout
        self.assertIn("./usr/bin/kadrimo\n", contents)
        self.assertIn(f"./{COPYRIGHT}\n", contents)
        fields = subprocess.run(["dpkg-deb", "--field", deb_path, "Package", "Version",
                                 "Architecture"], check=True, capture_output=True, text=True).stdout
        self.assertEqual(fields, f"Package: kadrimo\nVersion: {ARGS.version}\n"
                                 f"Architecture: {DEBIAN_ARCH[ARGS.arch]}\n")
        self.check_with_lintian(deb_path)

    def check_with_lintian(self, deb_path):
        if shutil.which("lintian") is None:
            print("lintian not found: the Debian package's policy check is skipped", file=sys.stderr)
            return
        checked = subprocess.run(LINTIAN + [deb_path], capture_output=True, text=True)
        self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--build", "--cmake", "--cpack"):
        parser.add_argument(option, required=True)
    parser.add_argument("--system", choices=["linux", "windows", "web"], required=True)
    parser.add_argument("--arch", choices=sorted(DEBIAN_ARCH))
    parser.add_argument("--objdump", default="objdump")
    ARGS, rest = parser.parse_known_args()
    ARGS.version = version()
    unittest.main(argv=[sys.argv[0]] + rest)
