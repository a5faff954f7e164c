"""Checks the page and the site in a browser: session.js runs a scenario as a
person would (page_scenario.js: kadrimo.html from disk; site_scenario.js:
the site served on 127.0.0.1, with its worker, offline and updated), and what
it saw is judged here against the texts built from the Japanese
(transcript.py), each answer shown where it was typed, as a console echoes
it. The site's next build is this one with a version one higher, in the
banner too (its bytes in the module changed in place), made into a site by
the project's own site.py.

    web_test.py page ENGINE BROWSER PAGE SCREENSHOT_DIR
    web_test.py site ENGINE BROWSER PAGE SCREENSHOT_DIR SITE RSVG_CONVERT
"""
import base64
import hashlib
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
from transcript import (  # noqa: E402
    INVALID, KEY_WAIT_PROMPT, TARGET_PROMPT, WIDTH_PROMPT, opening, results, typed_screen, version)

REPORT = {}
ARGS = {}
RUN = typed_screen("1", "1920", "1080", ("1600", "1296"))


class page(unittest.TestCase):
    def test_nothing_went_wrong(self):
        self.assertIsNone(REPORT.get("failure"))
        self.assertEqual(REPORT["requests"], [], "requests that leave the page")
        self.assertEqual(REPORT["console"], [], "errors and warnings on the console")
        self.assertLess(os.path.getsize(ARGS["page"]), 300_000, "kadrimo.html, one file")

    def test_no_accessibility_violation(self):
        # At the first prompt, and with the results shown at the wait.
        self.assertEqual(REPORT["axe_opening"] + REPORT["axe_wait"], [])

    def test_first_prompt_has_the_focus(self):
        shown = REPORT["opening"]
        self.assertEqual(shown["text"], opening() + TARGET_PROMPT)
        self.assertEqual((shown["asking"], shown["focus"]), (True, "answer"))
        self.assertEqual(REPORT["inputmode"], "decimal")
        self.assertEqual(REPORT["lang"], "ja")

    def test_typical_run(self):
        self.assertEqual(REPORT["typical"]["text"], RUN)
        self.assertEqual((REPORT["typical"]["asking"], REPORT["typical"]["focus"]), (False, "screen"))

    def test_field_stays_put_while_typing(self):
        self.assertEqual(REPORT["typing"]["value"], "1920")
        self.assertEqual(REPORT["typing"]["field_box"], REPORT["width_asked"]["field_box"])

    # Lines 1 to 3 of the menu start their "(" in the same column, as in a
    # console: line 1 after "Android壁紙", lines 2 and 3 after seven spaces and
    # two full-width ones.
    def test_menu_aligned(self):
        edges = REPORT["parentheses"]
        self.assertEqual(len(set(edges[1:4])), 1, edges)

    def test_readable_at_360_pixels(self):
        self.assertLessEqual(REPORT["narrow_overflow"], 0)

    def test_prompts_scrolled_into_view(self):
        self.assertTrue(REPORT["height_asked"]["at_end"] and REPORT["full_width"]["at_end"])

    def test_key_starts_a_new_run_and_is_not_typed(self):
        # Before it, none of the keys nor the drag that must not end the run did.
        self.assertEqual(REPORT["ignored"]["text"], REPORT["typical"]["text"])
        shown = REPORT["after_key"]
        self.assertEqual(shown["text"], opening() + TARGET_PROMPT)
        self.assertEqual((shown["asking"], shown["focus"], shown["value"]), (True, "answer", ""))

    def test_invalid_target_answered_twice(self):
        shown, edges = REPORT["invalid"], REPORT["edges"]
        self.assertEqual(shown["text"],
                         opening() + TARGET_PROMPT + "7" + edges + "\n\n" + INVALID + KEY_WAIT_PROMPT)
        self.assertEqual([edge in shown["wide"] for edge in edges],
                         [False, True, True, False, False, True])

    def test_tap_starts_a_new_run_and_selecting_keeps_the_selection(self):
        self.assertEqual(REPORT["after_tap"]["text"], opening() + TARGET_PROMPT)
        self.assertEqual((REPORT["still_selected"], REPORT["refocused"]), (True, "answer"))

    def test_full_width_digits(self):
        self.assertEqual(REPORT["full_width"]["text"],
                         typed_screen("1", " " * 4095 + "１９２０", "1080", ("1600", "1296")))


PICTURE = {}
ENGINE = []


def labels(height, width):
    return results(height, width).split("\n")[:2]


class picture(unittest.TestCase):
    """The user's own picture, in the page's session (picture_scenario.js)."""

    def test_picture_types_its_size_at_the_width_prompt_and_shows_its_frames(self):
        held, asked = PICTURE["held"], PICTURE["width_asked"]
        self.assertEqual((held["text"], held["pick"], asked["pick"]),
                         (opening() + TARGET_PROMPT, False, True))
        # A tap on the picker's button leaves the field (and a phone's keypad) alone.
        self.assertNotEqual(asked["focused"], "answer")
        self.assertIn("1920×1080", held["note"])
        # 3024 x 800 / 960 and 4032 x 960 / 800, by hand; each frame inside
        # starts centred, free to move along its free side; the picture is
        # shown from at most 2048 pixels a side.
        for name, typed, printed, slider, shown_from in [
                ("landscape", ("0", "1920", "1080"), ("2689.34", "771.045"),
                 [(1920 - 771) // 2, 1920 - 771, "horizontal"], [1920, 1080]),
                ("portrait", ("1", "3024", "4032"), ("2520", "4838.4"),
                 [(4032 - 2520) // 2, 4032 - 2520, "vertical"], [1536, 2048])]:
            shown = PICTURE[name]
            self.assertEqual(shown["text"], typed_screen(*typed, printed))
            outer, inner = labels(*printed) if name == "landscape" else labels(*printed)[::-1]
            self.assertEqual((shown["frames"], shown["slider"], shown["canvas"], shown["caption"]),
                             ([outer, inner], [str(value) for value in slider], shown_from, ""))
        # Home and End, and a frame with one pixel of room (1919 wide).
        self.assertEqual((PICTURE["ends"], PICTURE["tight"]), (["0", "1149"], ["1", "1", "horizontal"]))
        self.assertEqual((PICTURE["axe"], PICTURE["fits"]), ([], True))

    def test_frames_drawn_where_the_picture_is_cut(self):
        # In the picture's pixels from the frame outside's corner: the
        # picture, the frame inside, the frame outside.
        for name, boxes in [
                ("landscape", [[0, 804, 1920, 1080], [574, 804, 771, 1080], [0, 0, 1920, 2689]]),
                ("portrait", [[907, 0, 3024, 4032], [907, 756, 3024, 2520], [0, 0, 4838, 4032]])]:
            drawn = PICTURE[name]["drawn"]
            scale = drawn[2][2] / boxes[2][2]
            in_pixels = [[round((value - drawn[2][i % 2] * (i < 2)) / scale) for i, value in enumerate(box)]
                         for box in drawn]
            self.assertEqual(in_pixels, boxes)

    def test_saved_files(self):
        cut, added, jpeg, jpeg_added = PICTURE["saved"]
        # The cut's first pixel says its x: dragged right, then one arrow
        # key's step (1149 / 20) back.
        self.assertGreater(PICTURE["dragged"], 574)
        red, green, blue, alpha = cut[4]
        self.assertEqual(cut[:4] + [red + (blue >> 4) * 256, green, alpha],
                         ["landscape-771x1080.png", "image/png", 771, 1080,
                          PICTURE["dragged"] - 57, 0, 255])
        # Rows 803 and 1884 are margin; 804 and 1883 the picture's first and
        # last, whose pixels say y = 0 and y = 1079.
        self.assertEqual(added[:4], ["landscape-1920x2689.png", "image/png", 1920, 2689])
        self.assertEqual([pixel[3] for pixel in added[4:9]], [0, 0, 255, 255, 0])
        self.assertEqual(added[6:8], [[0, 0, 0, 255], [0, 1079 & 255, 1079 >> 8, 255]])
        self.assertEqual(jpeg[:4], ["portrait-3024x2520.jpg", "image/jpeg", 3024, 2520])
        # 4838 x 4032 is more than one canvas; at 960 x 800 the picture's
        # columns 907 to 3930 of 4838 are 907 * 960 / 4838 = 179.97 and
        # 3931 * 960 / 4838 = 780.02: 180 to 779.
        self.assertIn("4838×4032 では大きすぎて", PICTURE["too_many"]["note"])
        self.assertIn("目標の大きさなら", PICTURE["too_many"]["note"])
        self.assertEqual(jpeg_added[:4], ["portrait-960x800.png", "image/png", 960, 800])
        self.assertEqual([pixel[3] for pixel in jpeg_added[4:8]], [0, 255, 255, 0])

    def test_saved_at_the_targets_size_with_margins_filled(self):
        cut, white, blurred = PICTURE["target"]
        self.assertEqual([saved[:4] for saved in PICTURE["target"]],
                         [["landscape-861x1206.png", "image/png", 861, 1206]] * 3)
        # The picture's rows 804 to 1883 of 2689 at 1206 rows: 804 * 1206 /
        # 2689 = 360.59 and 1884 * 1206 / 2689 = 844.96, so rows 361 to 844;
        # its first row is green 0, its last 1079 & 255 = 55.
        self.assertEqual((white[4], white[7]), ([255] * 4, [255] * 4))
        self.assertEqual([(pixel[1] < 8, pixel[3]) for pixel in (white[5], blurred[5])], [(True, 255)] * 2)
        self.assertLess(abs(white[6][1] - 55), 8)
        self.assertNotEqual(blurred[4], [255] * 4)
        # Nothing transparent in either, and no canvas of the page as large as the picture.
        self.assertEqual((white[8], blurred[8], cut[8]), (0, 0, 0))
        self.assertEqual(PICTURE["blurred"]["controls"], ["save-cut", "save-margins"])
        # The same pixels in every engine: each run leaves its hash beside
        # this build's page, and meets the others' there.
        with open(ARGS["page"], "rb") as page_file:
            build = hashlib.sha256(page_file.read()).hexdigest()[:16]
        folder = os.path.join(os.path.dirname(ARGS["page"]), "saved-hashes", build)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, ENGINE[0]), "w", encoding="ascii") as mine:
            mine.write(str(white[9]))
        for other in os.listdir(folder):
            with open(os.path.join(folder, other), encoding="ascii") as theirs:
                self.assertEqual(theirs.read(), str(white[9]), other)

    def test_working_the_picture_keeps_the_run_and_the_next_has_none(self):
        self.assertIn("保存中", PICTURE["busy"])
        self.assertEqual((PICTURE["next"]["text"], PICTURE["next"]["shown"], PICTURE["next"]["revoked"]),
                         (opening() + TARGET_PROMPT, False, [True] * 5))

    def test_bad_and_late_pictures_refused_with_the_run_intact(self):
        asked = opening() + TARGET_PROMPT + "1\n\n" + WIDTH_PROMPT
        for shown, word in zip(PICTURE["bad"], ["読めません", "空のファイル", "SVG", "大きすぎます(20000×20000)"],
                              strict=True):
            self.assertEqual((shown["text"], shown["asking"]), (asked, True))
            self.assertIn(word, shown["note"])
        self.assertIn("使いません", PICTURE["late"]["note"])
        for name in ["late_run", "ahead", "invalid"]:
            self.assertEqual(PICTURE[name]["shown"], False)
        # The picture promised for the width prompt is said to be unused where
        # the run never asked it.
        for name in ["ahead", "invalid"]:
            self.assertIn("使いませんでした", PICTURE[name]["note"])
        self.assertEqual(PICTURE["late_run"]["text"], RUN)

    def test_results_without_a_frame_or_too_large_to_save(self):
        for name in ["same", "none"]:
            self.assertEqual((PICTURE[name]["frames"], PICTURE[name]["controls"]), ([None, None], []))
        self.assertIn("もう目標の縦横比", PICTURE["same"]["caption"])
        self.assertEqual([line in PICTURE["none"]["caption"] for line in labels("0", "inf")],
                         [True, True])
        self.assertEqual(PICTURE["large"]["frames"], labels("1.92e+08", "0.0108"))
        self.assertIn("大きすぎ", PICTURE["large"]["note"])


def next_version():
    """The version one higher in its last digit, as long as this one."""
    built = version()
    return built[:-1] + str((int(built[-1]) + 1) % 10)


def make_next_site(page_file, rsvg_convert, folder):
    with open(page_file, encoding="utf-8") as source:
        text = source.read()
    module = re.search(r"data:application/octet-stream;base64,([A-Za-z0-9+/=]+)", text)
    wasm = base64.b64decode(module.group(1))
    old, new = (f"Ver{v}\n\n".encode() for v in (version(), next_version()))
    if wasm.count(old) != 1:
        sys.exit(f"web_test: the module does not hold {old!r} once")
    text = text.replace(module.group(1), base64.b64encode(wasm.replace(old, new)).decode())
    patched = os.path.join(folder, "kadrimo.html")
    with open(patched, "w", encoding="utf-8") as target:
        target.write(text)
    next_site = os.path.join(folder, "site")
    subprocess.run([sys.executable, os.path.join(HERE, "..", "..", "web", "site", "site.py"),
                    patched, next_version(), rsvg_convert, next_site], check=True)
    return next_site


def png_size(file):
    with open(file, "rb") as image:
        head = image.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n" and head[12:16] == b"IHDR", file
    return "%dx%d" % struct.unpack(">II", head[16:24])


class site(unittest.TestCase):
    def test_nothing_went_wrong(self):
        self.assertIsNone(REPORT.get("failure"))
        self.assertEqual(REPORT["console"], [], "errors and warnings on the console")
        # Every request the browser made of the site, its own for icons too.
        self.assertEqual([url for url, status in REPORT["served"] if status != 200], [])

    def test_worker_keeps_the_site(self):
        first = REPORT["first_visit"]
        self.assertEqual(first["state"], "activated")
        self.assertEqual(len(first["caches"]), 1)
        self.assertRegex(first["caches"][0],
                         rf"^kadrimo http://127\.0\.0\.1:\d+/ {re.escape(version())} [0-9a-f]{{16}}$")

    def test_offline_visit_runs_a_whole_dialogue(self):
        self.assertEqual(REPORT["offline"]["text"], RUN)
        self.assertEqual(REPORT["offline_visit"]["caches"], REPORT["first_visit"]["caches"])

    def test_shared_picture_typed_offline(self):
        # 48 x 960 / 800 and 64 x 800 / 960, by hand; the picture's cache is
        # emptied as the page takes it.
        self.assertEqual(REPORT["shared"]["text"],
                         typed_screen("1", "64", "48", ("53.3333", "57.6")))
        self.assertEqual(REPORT["shared"]["caches"], REPORT["first_visit"]["caches"])

    def test_next_build_replaces_the_cache(self):
        updated = REPORT["updated_visit"]
        self.assertEqual(updated["banner"], f"kadrimo from もくれぴぽ Ver{next_version()}")
        self.assertEqual(len(updated["caches"]), 1)
        self.assertIn(f" {next_version()} ", updated["caches"][0])

    def test_without_its_manifest_the_page_has_no_worker(self):
        # The unzipped site from disk runs whole; the page served on its own
        # asks for no worker script.
        self.assertEqual(REPORT["from_disk"]["text"], RUN)
        self.assertNotIn("/sw.js", [url for url, _ in REPORT["page_served"]])

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
        self.assertEqual(manifest["share_target"]["params"]["files"][0]["accept"], ["image/*"])
        sizes = {(icon["sizes"], icon["purpose"]) for icon in manifest["icons"]}
        self.assertTrue({("192x192", "any"), ("512x512", "any"), ("512x512", "maskable")} <= sizes)
        for icon in manifest["icons"]:
            self.assertEqual(png_size(os.path.join(ARGS["site"], icon["src"])), icon["sizes"])
        self.assertEqual(png_size(os.path.join(ARGS["site"], "apple-touch-icon.png")), "180x180")

    @unittest.skipUnless(sys.argv[2:3] == ["chromium"], "Chromium alone reports these")
    def test_installable_and_installed_look(self):
        self.assertEqual((REPORT["installability"], REPORT["manifest_errors"]), ([], []))
        installed = REPORT["installed"]
        self.assertTrue(installed["standalone"])
        # Below the status bar and notch (47 px), above the home bar (34 px).
        self.assertGreaterEqual(installed["text_top"], 47)
        self.assertGreaterEqual(installed["bottom_padding"], 34)
        self.assertEqual(installed["taps"], ["enter"] * 4)
        # A finger's height to tap, anywhere below the text too; Safari zooms
        # into a field whose text is smaller than 16 px.
        self.assertGreaterEqual(installed["field_height"], 44)
        self.assertEqual(installed["tapped_below"], "answer")
        self.assertGreaterEqual(float(installed["field_font"].rstrip("px")), 16)


def main():
    if len(sys.argv) not in (6, 8) or sys.argv[1] not in ("page", "site"):
        sys.exit(__doc__)
    scenario, engine, browser, page_file, shots = sys.argv[1:6]
    ENGINE.append(engine)
    os.makedirs(shots, exist_ok=True)
    if not os.path.isdir(os.path.join(HERE, "node_modules", "puppeteer-core")):
        sys.exit(f"web_test: puppeteer-core is not installed: run npm ci in {HERE} "
                 "(scripts/check does)")
    # WebKitGTK's MiniBrowser and Chromium's app window need a display: a
    # virtual one, as large as the window.
    windowed = engine == "webkit" or (engine == "chromium" and scenario == "site")
    display = ["xvfb-run", "-a", "-s", "-screen 0 1400x1000x24"] if windowed else []
    with tempfile.TemporaryDirectory(prefix="kadrimo-web-") as scratch:
        ARGS["page"] = page_file
        arguments = {"page": page_file, "shots": shots}
        if scenario == "site":
            ARGS["site"] = arguments["site"] = sys.argv[6]
            arguments["next_site"] = make_next_site(page_file, sys.argv[7], scratch)
        done = subprocess.run(display + ["node", os.path.join(HERE, "session.js"), scenario, engine,
                                         browser, json.dumps(arguments)],
                              capture_output=True, timeout=240, check=False)
    sys.stderr.write(done.stderr.decode(errors="replace"))
    REPORT.update(json.loads(done.stdout))
    PICTURE.update(REPORT.get("picture", {}))
    timings = (f"a 12 MP JPEG's size typed {PICTURE.get('typed_ms')} ms after it was picked, "
               f"its cut saved in {PICTURE.get('saved_ms')} ms; " if PICTURE else "")
    print(f"web_test: {scenario} in {engine}: first prompt "
          f"{REPORT.get('first_prompt_ms', 0):.0f} ms after the page loaded; "
          f"{os.path.getsize(page_file)} bytes; {timings}screenshots in {shots}", flush=True)
    tests = ["page", "picture"] if scenario == "page" else ["site"]
    unittest.main(argv=sys.argv[:1], defaultTest=tests, verbosity=2)


if __name__ == "__main__":
    main()
