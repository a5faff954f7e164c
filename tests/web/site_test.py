"""Checks the site to host in a browser: drive_site.js serves it on
127.0.0.1, visits it, runs a dialogue with the server stopped and serves the
next build; what it saw is judged here, against the texts built from the
Japanese (transcript.py). The next build is this one with a version one
higher, in the banner too (its bytes in the module are changed in place),
made into a site by the project's own site.py.

    site_test.py chromium|firefox|webkit BROWSER PAGE SITE RSVG_CONVERT SCREENSHOT_DIR
"""
import base64
import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from transcript import KEY_WAIT_PROMPT, results, typed_run, version  # noqa: E402

REPORT = {}
ARGS = {}
RUN = typed_run("1", "1920", "1080", ("1600", "1296"))


def next_version():
    """The version one higher in its last digit, as long as this one."""
    built = version()
    return built[:-1] + str((int(built[-1]) + 1) % 10)


def make_next_site(page_file, rsvg_convert, folder):
    with open(page_file, encoding="utf-8") as source:
        page = source.read()
    module = re.search(r"data:application/octet-stream;base64,([A-Za-z0-9+/=]+)", page)
    wasm = base64.b64decode(module.group(1))
    old, new = (f"Ver{v}\n\n".encode() for v in (version(), next_version()))
    if wasm.count(old) != 1:
        sys.exit(f"site_test: the module does not hold {old!r} once")
    page = page.replace(module.group(1), base64.b64encode(wasm.replace(old, new)).decode())
    patched = os.path.join(folder, "kadrimo.html")
    with open(patched, "w", encoding="utf-8") as target:
        target.write(page)
    site = os.path.join(folder, "site")
    subprocess.run([sys.executable, os.path.join(HERE, "..", "..", "web", "site", "site.py"),
                    patched, next_version(), rsvg_convert, site], check=True)
    return site


def png_size(file):
    with open(file, "rb") as image:
        head = image.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", file
    return "%dx%d" % struct.unpack(">II", head[16:24])


class site(unittest.TestCase):
    def test_nothing_went_wrong(self):
        self.assertNotIn("failure", REPORT, REPORT.get("failure"))
        self.assertEqual(REPORT["console"], [], "errors and warnings on the console")
        # Every request the browser made of the site, its own for icons too.
        self.assertEqual([url for url, status in REPORT["requests"] if status != 200], [])

    def test_worker_keeps_the_site(self):
        first = REPORT["first_visit"]
        self.assertEqual(first["state"], "activated")
        self.assertEqual(len(first["caches"]), 1)
        self.assertRegex(first["caches"][0],
                         rf"^kadrimo http://127\.0\.0\.1:\d+/ {re.escape(version())} [0-9a-f]{{16}}$")

    def test_offline_visit_runs_a_whole_dialogue(self):
        self.assertEqual(REPORT["offline"]["text"], RUN)
        self.assertEqual(REPORT["offline_visit"]["caches"], REPORT["first_visit"]["caches"])

    def test_next_build_replaces_the_cache(self):
        updated = REPORT["updated_visit"]
        self.assertEqual(updated["banner"], f"kadrimo from もくれぴぽ Ver{next_version()}")
        self.assertEqual(len(updated["caches"]), 1)
        self.assertIn(f" {next_version()} ", updated["caches"][0])

    def test_no_accessibility_violation(self):
        self.assertEqual(REPORT["axe_opening"] + REPORT["axe_wait"], [])

    def test_results_are_announced_once(self):
        # From the last Enter on, the log gains the answer's echo, the results
        # and the wait's prompt, each once; nothing shown before comes again.
        self.assertEqual(REPORT["run"]["text"], RUN)
        self.assertEqual(REPORT["run"]["added"],
                         "1080\n\n" + results("1600", "1296") + KEY_WAIT_PROMPT)

    def test_manifest_names_icons_of_their_sizes(self):
        with open(os.path.join(ARGS["site"], "manifest.webmanifest"), encoding="utf-8") as source:
            manifest = json.load(source)
        self.assertEqual((manifest["lang"], manifest["display"], manifest["start_url"]),
                         ("ja", "standalone", "./"))
        sizes = {(icon["sizes"], icon["purpose"]) for icon in manifest["icons"]}
        self.assertTrue({("192x192", "any"), ("512x512", "any"), ("512x512", "maskable")} <= sizes)
        for icon in manifest["icons"]:
            self.assertEqual(png_size(os.path.join(ARGS["site"], icon["src"])), icon["sizes"])
        self.assertEqual(png_size(os.path.join(ARGS["site"], "apple-touch-icon.png")), "180x180")

    @unittest.skipUnless(sys.argv[1:2] == ["chromium"], "Chromium alone reports these")
    def test_installable_and_installed_look(self):
        self.assertEqual((REPORT["installability"], REPORT["manifest_errors"]), ([], []))
        installed = REPORT["installed"]
        self.assertTrue(installed["standalone"])
        # Below the status bar and notch (47 px), above the home bar (34 px).
        self.assertGreaterEqual(installed["text_top"], 47)
        self.assertGreaterEqual(installed["bottom_padding"], 34)
        self.assertEqual(installed["taps"], ["enter"] * 4)
        # Safari zooms into a field whose text is smaller.
        self.assertGreaterEqual(float(installed["field_font"].rstrip("px")), 16)


def main():
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    engine, browser, page_file, site_dir, rsvg_convert, shots = sys.argv[1:]
    ARGS["site"] = site_dir
    os.makedirs(shots, exist_ok=True)
    if not os.path.isdir(os.path.join(HERE, "node_modules", "puppeteer-core")):
        sys.exit(f"site_test: puppeteer-core is not installed: run npm ci in {HERE}")
    # WebKitGTK's MiniBrowser and Chromium's app window need a display.
    display = ["xvfb-run", "-a", "-s", "-screen 0 1400x1000x24"] if engine != "firefox" else []
    with tempfile.TemporaryDirectory(prefix="kadrimo-site-") as scratch:
        next_site = make_next_site(page_file, rsvg_convert, scratch)
        done = subprocess.run(display + ["node", os.path.join(HERE, "drive_site.js"), engine,
                                         browser, site_dir, next_site, shots],
                              capture_output=True, timeout=240, check=False)
    sys.stderr.write(done.stderr.decode(errors="replace"))
    REPORT.update(json.loads(done.stdout))
    print(f"site_test: {engine}: screenshots in {shots}", flush=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)


if __name__ == "__main__":
    main()
