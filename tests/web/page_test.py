"""Checks kadrimo.html in a headless browser: drive_page.js uses the page as a
person would, and what it saw is judged here against the texts built from
the Japanese (transcript.py), as for the console program, with each answer
shown where it was typed, as a console echoes it.

    page_test.py chromium|firefox|webkit BROWSER PAGE SCREENSHOT_DIR
"""
import json
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import (  # noqa: E402
    INVALID, KEY_WAIT_PROMPT, TARGET_PROMPT, opening, typed_run)

REPORT = {}


class page(unittest.TestCase):
    def test_nothing_went_wrong(self):
        self.assertNotIn("failure", REPORT, REPORT.get("failure"))
        self.assertEqual(REPORT["requests"], [], "requests that leave the page")
        self.assertEqual(REPORT["console"], [], "errors and warnings on the console")

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
        self.assertEqual(REPORT["typical"]["text"], typed_run("1", "1920", "1080", ("1600", "1296")))
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
                         typed_run("1", " " * 4095 + "１９２０", "1080", ("1600", "1296")))


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    engine, browser, page_file, shots = sys.argv[1:]
    os.makedirs(shots, exist_ok=True)
    here = os.path.dirname(os.path.abspath(__file__))
    if not os.path.isdir(os.path.join(here, "node_modules", "puppeteer-core")):
        sys.exit(f"page_test: puppeteer-core is not installed: run npm ci in {here} "
                 "(scripts/check does)")
    driver = os.path.join(here, "drive_page.js")
    # WebKitGTK's MiniBrowser needs a display: a virtual one, as large as its window.
    display = ["xvfb-run", "-a", "-s", "-screen 0 1400x1000x24"] if engine == "webkit" else []
    done = subprocess.run(display + ["node", driver, engine, browser, page_file, shots],
                          capture_output=True, timeout=240, check=False)
    sys.stderr.write(done.stderr.decode(errors="replace"))
    REPORT.update(json.loads(done.stdout))
    print(f"page_test: {engine}: first prompt {REPORT.get('first_prompt_ms', 0):.0f} ms after opening; "
          f"{os.path.getsize(page_file)} bytes; screenshots in {shots}", flush=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)


if __name__ == "__main__":
    main()
