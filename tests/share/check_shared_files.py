"""Checks the files installed for the desktop: the menu entry must pass the
desktop's own validator, the manual page must format without a warning, and
`cmake --install` must put both where a desktop and `man` look for them.
A check whose tool is missing is skipped (status 77), naming the tool."""
import configparser
import filecmp
import gzip
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77


def skip(tool):
    print(f"{tool} not found: skipped (scripts/check installs it on Debian and Ubuntu)")
    return SKIPPED


def check_desktop_entry(path):
    validator = shutil.which("desktop-file-validate")
    if validator is None:
        return skip("desktop-file-validate")
    checked = subprocess.run([validator, path], capture_output=True, text=True)
    # The validator's hints are printed but do not fail it; ours do.
    if checked.returncode != 0 or checked.stdout.strip():
        print(checked.stdout, checked.stderr)
        return 1
    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(path, encoding="utf-8")
    fields = entry["Desktop Entry"]
    # The dialogue needs a terminal window; the menu shows both languages.
    missing = [key for key in ("Name", "Name[ja]", "Comment", "Comment[ja]") if key not in fields]
    if fields.get("Terminal") != "true" or fields.get("Exec") != "kadrimo" or missing:
        print(f"Terminal={fields.get('Terminal')} Exec={fields.get('Exec')} missing={missing}")
        return 1
    return 0


def check_manual_page(path):
    groff = shutil.which("groff")
    if groff is None:
        return skip("groff")
    # -k reads the page as UTF-8, as man does; -ww turns on every warning.
    checked = subprocess.run([groff, "-k", "-man", "-ww", "-z", "-Tutf8", path],
                             capture_output=True, text=True)
    if checked.returncode != 0 or checked.stderr:
        print(checked.stderr)
        return 1
    return 0


def check_install(cmake, build_dir, desktop_entry):
    with tempfile.TemporaryDirectory(prefix="kadrimo-install-") as prefix:
        subprocess.run([cmake, "--install", build_dir, "--prefix", prefix], check=True)
        installed_entry = os.path.join(prefix, "share", "applications", "kadrimo.desktop")
        installed_page = os.path.join(prefix, "share", "man", "man1", "kadrimo.1.gz")
        if not filecmp.cmp(installed_entry, desktop_entry, shallow=False):
            print(f"{installed_entry} differs from {desktop_entry}")
            return 1
        if not os.path.isfile(installed_page):
            print(f"{installed_page} missing")
            return 1
        with gzip.open(installed_page, "rt", encoding="utf-8") as page:
            if "@" in page.read():
                print("the manual page still holds an unreplaced @VARIABLE@")
                return 1
    return 0


if __name__ == "__main__":
    checks = {"desktop-entry": check_desktop_entry, "manual-page": check_manual_page,
              "install": check_install}
    sys.exit(checks[sys.argv[1]](*sys.argv[2:]))
