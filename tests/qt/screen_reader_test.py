#!/usr/bin/python3
"""The real mervalin heard through the real Orca, as a blind pupil hears it:
a headless screen-reader session (tests/screen_reader.py), real keys only
(Tab and the arrows), and what Orca said after each key read from its log.

Usage: screen_reader_test.py MERVALIN MERVALIN_REPLAY [TRANSCRIPT]
Prints the transcript, key by key (and writes it to TRANSCRIPT if given).
The lists, the verdicts and the results come from the scenario runner.

Heard, in order: the chosen metal on the way down the list; after each
weight the verdict line, right after the weight itself and without the
focus moving (the wrong one for gold and 19.25, the correct one for 19.32);
the chosen item on coming back to a list; a result box's whole number.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from runner import run_replay, start_state  # noqa: E402
from screen_reader import ScreenReader  # noqa: E402

METAL, RIGHT, WRONG = "Злато", "19.32", "19.25"


def verdict(program, weight):
    """The verdict line the form writes for gold and the weight."""
    shown = run_replay(program, [f'click List1(0) "{METAL}"', f'click List1(1) "{weight}"',
                             "show"])[-1]
    return shown["Text1"][0].split("\r\n")[0], shown["Text2"]


def main():
    mervalin, runner = sys.argv[1:3]
    transcript_path = sys.argv[3] if len(sys.argv) > 3 else None
    start = start_state(runner)
    metals, weights = start["List1"][0]["items"], start["List1"][1]["items"]
    right, results = verdict(runner, RIGHT)
    wrong, _ = verdict(runner, WRONG)
    failures = []
    transcript = []

    with ScreenReader() as reader:
        reader.start([mervalin], {"LC_ALL": "en_US.UTF-8"})
        transcript.append(("(window)", reader.focus_window(r"mervalin\.example")))

        def press(key, expect=None, what=""):
            """Presses the key; with expect, waits a while for speech that
            satisfies it, and counts a failure if none comes."""
            said = reader.key(key)
            if expect and not expect(said):
                try:
                    said += reader.wait_for_speech(lambda more: expect(said + more), what,
                                                   timeout=5)
                except AssertionError:
                    pass
                said += reader.quiet()
            transcript.append((key, said))
            if expect:
                status = "ok" if expect(said) else "FAILED"
                print(f"{status}: {what}")
                if status != "ok":
                    failures.append(what)
            return said

        def says(text):
            return lambda said: any(text in utterance for utterance in said)

        # Into the metal list, nothing chosen: the first Down chooses the
        # first item; on down to gold.
        press("Tab", says("Метал"), "the metal list by its label")
        press("Down", says(metals[0]), "the first metal on the first Down")
        for _ in range(metals.index(METAL) - 1):
            press("Down")
        press("Down", says(METAL), "the chosen metal")

        # Into the weight list, down past the wrong weight to the right one:
        # each move checks, and each verdict follows the weight.
        press("Tab", says("Тегло"), "the weight list by its label")
        for _ in range(weights.index(WRONG)):
            press("Down")
        press("Down", says(wrong), f"the verdict on {METAL} and {WRONG}: {wrong}")
        said = press("Down", says(right), f"the verdict on {METAL} and {RIGHT}: {right}")
        item = next((i for i, u in enumerate(said) if u.startswith(RIGHT)), None)
        told = next((i for i, u in enumerate(said) if right in u), None)
        if item is None or told is None or item > told:
            failures.append(f"{RIGHT}, then its verdict")

        # Back to the metal list: it says what is chosen in it.
        press("shift+Tab", says(METAL), "the chosen metal on coming back to its list")

        # Back past the message box to the last result box: its whole number,
        # never one cut short.
        press("shift+Tab")
        number = results[-1]

        def whole(said):
            cut = [u for u in said if number[:-1] in u and number not in u]
            return says(number)(said) and not cut

        press("shift+Tab", whole, f"the whole result {number}, never cut short")

        synthesised = reader.synthesised()
        if right not in synthesised:
            failures.append("the verdict never reached the speech synthesiser")

    lines = [f"{key}: {' | '.join(said)}" for key, said in transcript]
    print("\n".join(lines))
    if transcript_path:
        with open(transcript_path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
    for failure in failures:
        print(f"FAILED: {failure}")
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
