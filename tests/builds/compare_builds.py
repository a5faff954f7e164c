"""Runs a few hundred answer sets through every build of kadrimo that this
machine can run (only a few through windows-x86, emulated and slow to start)
and checks that they all write the same bytes, up to the key wait.

    compare_builds.py BUILD_ROOT PRESET...

BUILD_ROOT holds one directory per preset; the first preset named is the
reference. The web build's command-line form (web/kadrimo.js, run by node)
is compared like a console program.

Windows builds write CR LF for each line feed; that is folded back before
comparing. After the wait's start the builds differ by design (our own prompt
on Linux, the command interpreter's pause on Windows), so only the part
before it is compared; what a Windows build's pause writes must be the same
in every one of its runs.
"""
import concurrent.futures
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from transcript import WAIT_TAIL  # noqa: E402

TIMEOUT = 60
# A 32-bit Windows program is emulated here, and each start costs minutes,
# so that build gets four answer sets, named here rather than by their place
# in the list: the target the menu does not list, no answer at all, a result
# beyond the double range, and an extreme target typed by hand.
# (end_to_end_pipes.py runs it once more with a typical run.)
FEW_SETS = {"windows-x86": [b"5\n1920\n1080\n", b"\n", b"4 1.7e308 1.7e308\n",
                            b"9\n1e-10\n1e300\n1e-300\n1\n"]}
# Whole inputs on which C++ libraries read or print differently by
# themselves: letters after digits (libc++ reads on through what could be
# hexadecimal), subnormals (which libc++ refuses), and zeros that make a
# not-a-number, whose sign bit differs between processors.
LIBRARY_DIFFERENCES = [
    b"5 2xX", b"1 0D66 5", b"1 1920x1080", b"1 1920px 1080px", b"1 0x10 5", b"9 0x1p3 1 1 1",
    b"1 4.5e-320 3", b"9 1e308 1e-308 1e-308 1e308", b"9 0 1 0 1", b"9 -0 0 0 0", b"9 0 0 1 1",
    b"1 1e5e3 2", b"1 1.5.5 2", b"0 1920abc 1080", b"9 1e 2 3 4", b"3 +.5e+1 -.5E-1",
]
SLOW_TIMEOUT = 1200
# One at a time: runs in one wine prefix that start together have been seen
# to disturb each other (the pause then writes nothing).
SLOW_RUNS_AT_ONCE = 1


def cache_value(build_dir, name):
    try:
        with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as cache:
            for line in cache:
                key, _, value = line.rstrip("\n").partition("=")
                if key.split(":")[0] == name:
                    return value
    except OSError:
        pass
    return ""


def find_build(root, preset):
    """The command that runs the preset's program, or None and the reason."""
    build_dir = os.path.join(root, preset)
    for program in ("console/kadrimo", "console/kadrimo.exe", "web/kadrimo.js"):
        path = os.path.join(build_dir, program)
        if os.path.isfile(path):
            break
    else:
        return None, f"not built (no program in {build_dir})"
    emulator = [part for part in cache_value(build_dir, "CMAKE_CROSSCOMPILING_EMULATOR").split(";")
                if part]
    windows = path.endswith(".exe")
    if windows and not emulator:
        return None, "built, but this machine has no way to run it"
    return (emulator + [path], windows), None


# Magnitudes across the whole double range, and answers that are hard to
# read alike: long digit strings, halfway cases, subnormals, values just
# beyond the range, signs, and text that is not a number at all.
TRICKY = [
    "0", "-0", "0.0", "+5", ".5", "5.", "-1920", "1e-400", "-1e-400", "4.9e-324",
    "2.4703282292062327e-324", "2.4703282292062328e-324", "2.2250738585072011e-308",
    "2.2250738585072014e-308", "1e-320", "1.7976931348623157e308", "1.7976931348623158e308",
    "1.7976931348623159e308", "1e309", "-1e309", "9007199254740993", "0.1", "100000.5",
    "999999.5", "66667", "1234567890123456789012345678901234567890",
    "0.000000000000000000000000000000000000001234567890123456789",
    "1.00000000000000011102230246251565404236316680908203125",
    "1.00000000000000011102230246251565404236316680908203124",
    "1.00000000000000011102230246251565404236316680908203126",
    "0x1p3", "1e", "1e+", "--5", "abc", ".", "-", "inf", "nan", "1,5", "1920x", "1e5x",
]
TARGET_NUMBERS = ["0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "-3", "9.5",
                  "2147483647", "2147483648", "-2147483649", "x", ""]


def magnitude(rng):
    exponent = rng.randint(-300, 300)
    mantissa = rng.choice(["1", "9.99", "1.5", "3.14159", "7", str(rng.randint(1, 99999))])
    sign = rng.choice(["", "", "", "-"])
    return f"{sign}{mantissa}e{exponent}"


def answer(rng):
    kind = rng.random()
    if kind < 0.35:
        return magnitude(rng)
    if kind < 0.65:
        return rng.choice(TRICKY)
    return str(rng.choice([rng.randint(0, 4000), rng.randint(-4000, 0), rng.uniform(0, 5000)]))


def answer_sets():
    rng = random.Random(20261208)
    sets = []
    # Every catalogue row with an ordinary picture, then with tricky ones.
    for number in TARGET_NUMBERS:
        sets.append([number, "1920", "1080"])
    for number in ["0", "1", "2", "3", "4", "5"]:
        for _ in range(12):
            sets.append([number, answer(rng), answer(rng)])
    # Manual targets, the extreme ones included.
    sets.append(["9", "1e-10", "1e300", "1e-300", "1"])
    sets.append(["9", "1e-20", "1e300", "1", "1e10"])
    sets.append(["9", "0", "800", "0", "0"])
    while len(sets) < 300:
        if rng.random() < 0.8:
            sets.append(["9", answer(rng), answer(rng), answer(rng), answer(rng)])
        else:
            sets.append([rng.choice(TARGET_NUMBERS), answer(rng), answer(rng)])
    inputs = list(LIBRARY_DIFFERENCES)
    for i, answers in enumerate(sets):
        separator = ["\n", " ", "\r\n", "\t"][i % 4]
        inputs.append((separator.join(answers) + "\n").encode("ascii"))
    # Last, so that every other build's comparisons go on while the slow
    # build's runs, started at once in the background, are still going.
    return inputs + FEW_SETS["windows-x86"]


def run(command, stdin_bytes, timeout):
    proc = subprocess.run(command, input=stdin_bytes, capture_output=True, timeout=timeout)
    return proc.returncode, proc.stdout, proc.stderr


def run_once_more_if_emulated(preset, command, stdin_bytes, timeout):
    status, output, errors = run(command, stdin_bytes, timeout)
    if (status != 0 or errors) and len(command) > 1:
        # Under load an emulator has been seen to fail a start now and
        # then (wine: status 1, nothing written); one second try, said
        # aloud, tells that apart from the program failing.
        print(f"compare_builds: {preset} {stdin_bytes!r}: status {status}, "
              f"{len(output)} bytes out, stderr {errors[:200]!r}; running it again",
              flush=True)
        status, output, errors = run(command, stdin_bytes, timeout)
    return status, output, errors


def start_slow_runs(builds, inputs, pool):
    """The few runs of each slow build, started in the background: they take
    minutes each, so they go on while every other build runs."""
    return {(preset, stdin_bytes): pool.submit(run_once_more_if_emulated, preset, command,
                                               stdin_bytes, SLOW_TIMEOUT)
            for preset, (command, _) in builds.items() if preset in FEW_SETS
            for stdin_bytes in FEW_SETS[preset]}


def compare(builds, inputs, slow_runs, reference_preset):
    """Every build's output for each answer set against the reference's; a
    Windows build's what follows it (the pause) is collected to be compared
    between its runs."""
    failures = []
    pause_tails = {preset: set() for preset, (_, windows) in builds.items() if windows}
    for stdin_bytes in inputs:
        reference = None
        for preset, (command, windows) in builds.items():
            if preset in FEW_SETS:
                if stdin_bytes not in FEW_SETS[preset]:
                    continue
                status, output, errors = slow_runs[(preset, stdin_bytes)].result()
            else:
                status, output, errors = run_once_more_if_emulated(preset, command, stdin_bytes,
                                                                   TIMEOUT)
            if windows and reference is not None and output.replace(b"\r\n", b"\n") == reference:
                # Under load wine's command interpreter has been seen to
                # start and write nothing now and then; one second run, said
                # aloud, tells that apart from a pause that never comes.
                print(f"compare_builds: {preset} {stdin_bytes!r}: the pause wrote nothing; "
                      "running it again", flush=True)
                status, output, errors = run(command, stdin_bytes, SLOW_TIMEOUT)
            if status != 0 or errors:
                failures.append(f"{preset} {stdin_bytes!r}: status {status}, stderr {errors[:200]!r}")
                continue
            text = output.replace(b"\r\n", b"\n") if windows else output
            if not windows:
                if not text.endswith(WAIT_TAIL):
                    failures.append(f"{preset} {stdin_bytes!r}: no key wait at the end")
                    continue
                text = text[:-len(WAIT_TAIL)]
            if preset == reference_preset:
                reference = text
                continue
            if windows:
                if not text.startswith(reference):
                    failures.append(f"{preset} {stdin_bytes!r}:\n  {text!r}\n  differs from\n"
                                    f"  {reference!r}")
                    continue
                pause_tails[preset].add(text[len(reference):])
            elif text != reference:
                failures.append(f"{preset} {stdin_bytes!r}:\n  {text!r}\n  differs from\n"
                                f"  {reference!r}")
    return failures, pause_tails


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    root, presets = sys.argv[1], sys.argv[2:]
    reference = presets[0]
    builds = {}
    for preset in presets:
        found, reason = find_build(root, preset)
        if found:
            builds[preset] = found
        else:
            print(f"compare_builds: skipping {preset}: {reason}")
    if reference not in builds or len(builds) < 2:
        print(f"compare_builds: SKIPPED, fewer than two runnable builds ({', '.join(builds) or 'none'})")
        return 0
    inputs = answer_sets()
    counts = {preset: len(FEW_SETS.get(preset, inputs)) for preset in builds}
    print(f"compare_builds: {len(inputs)} answer sets through "
          f"{', '.join(f'{preset} ({counts[preset]})' for preset in builds)}", flush=True)

    with concurrent.futures.ThreadPoolExecutor(SLOW_RUNS_AT_ONCE) as pool:
        slow_runs = start_slow_runs(builds, inputs, pool)
        failures, pause_tails = compare(builds, inputs, slow_runs, reference)
    for preset, tails in pause_tails.items():
        if len(tails) != 1:
            failures.append(f"{preset}: what follows our output differs between runs: {tails!r}")
        else:
            print(f"compare_builds: {preset}'s pause wrote {next(iter(tails))!r} in every run")
    for failure in failures:
        print("compare_builds: DIFFERENCE " + failure)
    if failures:
        print(f"compare_builds: FAILED, {len(failures)} differences")
        return 1
    print(f"compare_builds: every answer set gave the same bytes in "
          f"{', '.join(f'{preset} ({counts[preset]})' for preset in builds)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
