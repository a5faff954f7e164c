"""Expected output of kadrimo, built from the Japanese texts with Python's
own cp932 codec rather than from anything in the program. The version in the
banner is the build's, which ctest passes in KADRIMO_VERSION."""
import os
import sys


def version():
    """The version the program was built with, which ctest hands every test."""
    built = os.environ.get("KADRIMO_VERSION")
    if not built:
        sys.exit("KADRIMO_VERSION is not set: it is the version the program was built with "
                 "(ctest sets it)")
    return built


def banner():
    return f"kadrimo from もくれぴぽ Ver{version()}\n\n"


MENU = (
    "ターゲットを選択\n"
    "0:オリジナルスリーブ(WSサイズ) \n"
    "1:Android壁紙(960×800) \n"
    "2:       　　(480×800) \n"
    "3:       　　(1440×1280) \n"
    "4:iPhone4S \n"
    "9:手入力する\n"
)


def opening():
    """The banner and the menu, as every run starts."""
    return banner() + MENU


TARGET_PROMPT = "ターゲット:"
WIDTH_PROMPT = "横幅を入力:"
HEIGHT_PROMPT = "高さを入力:"
SOURCE_PROMPTS = WIDTH_PROMPT + HEIGHT_PROMPT
INVALID = "入力された値が不正です\nプログラムを終了します\n"
KEY_WAIT_PROMPT = "終了するには何かキーを押してください . . ."


def typed_screen(target, width, height, shown_width):
    """What a page's screen holds at the wait after a preset run, each answer
    shown where it was typed, as a console echoes it."""
    return (opening() + TARGET_PROMPT + target + "\n\n" + WIDTH_PROMPT + width + "\n"
            + HEIGHT_PROMPT + height + "\n\n" + results(*shown_width) + KEY_WAIT_PROMPT)


def sjis(text):
    return text.encode("cp932")


def results(height, width):
    return f"横幅を基準にした高さ:{height}\n高さを基準にした横幅:{width}\n\n"


def preset_text(height, width):
    """Everything written up to the key wait for a preset and two answers, as
    text; preset_bytes is the same in Shift-JIS."""
    return opening() + TARGET_PROMPT + "\n" + SOURCE_PROMPTS + "\n" + results(height, width)


def invalid_text():
    return opening() + TARGET_PROMPT + "\n" + INVALID


def preset_bytes(height, width):
    return sjis(preset_text(height, width))


def invalid_bytes():
    return sjis(invalid_text())


# What our own key wait writes, where the system has no pause command.
WAIT_TAIL = sjis(KEY_WAIT_PROMPT + "\n")
