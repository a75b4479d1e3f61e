#!/usr/bin/python3
"""The real mervalin heard through the real Orca, as a blind pupil hears it:
a headless screen-reader session (tests/screen_reader.py) in English or in
Bulgarian, real keys only (Tab and the arrows), and what Orca said after
each key read from its log; in Bulgarian also what espeak-ng's Bulgarian
voice made of it, as phonemes.

Usage: screen_reader_test.py MERVALIN MERVALIN_REPLAY [LANGUAGE [TRANSCRIPT]]
LANGUAGE is en (the default) or bg: Orca's language and the program's
regional settings. Prints the transcript, key by key (and writes it to
TRANSCRIPT if given). The lists, the verdicts and the results come from the
scenario runner under the same settings.

Heard, in order: the chosen metal on the way down the list; after each
weight what the form announces, right after the weight itself and without
the focus moving (the wrong verdict for gold and 19.25; for 19.32 the right
one and the four results); the chosen item, and no verdict again, on coming
back to a list; a result box's name and whole number, once.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from runner import run_replay, start_state  # noqa: E402
from screen_reader import ScreenReader  # noqa: E402

METAL, RIGHT, WRONG = "Злато", "19.32", "19.25"
LOCALES = {"en": "en_US.UTF-8", "bg": "bg_BG.UTF-8"}
def heard_of(runner, locale, weight):
    """What the form announces for gold and the weight, and the results."""
    dump = run_replay(runner, [f'click List1(0) "{METAL}"', f'click List1(1) "{weight}"',
                               "dump"], locale)[-1]
    return dump["Announced"], dump["Text2"]


def main():
    mervalin, runner = sys.argv[1:3]
    language = sys.argv[3] if len(sys.argv) > 3 else "en"
    transcript_path = sys.argv[4] if len(sys.argv) > 4 else None
    locale = LOCALES[language]
    start = start_state(runner, locale)
    metals, weights = start["List1"][0]["items"], start["List1"][1]["items"]
    right, results = heard_of(runner, locale, RIGHT)
    wrong, _ = heard_of(runner, locale, WRONG)
    # Orca says a long announcement sentence by sentence.
    right_first = right.split(". ")[0]
    failures = []
    transcript = []

    with ScreenReader(language=language) as reader:
        reader.start([mervalin], {"LC_ALL": locale})
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

        def says(*texts):
            return lambda said: all(any(t in u for u in said) for t in texts)

        # Into the metal list, nothing chosen: the first Down chooses the
        # first item; on down to gold.
        press("Tab", says("Метал"), "the metal list by its label")
        press("Down", says(metals[0]), "the first metal on the first Down")
        for _ in range(metals.index(METAL)):
            press("Down")

        # Into the weight list, down past the wrong weight to the right one:
        # each move checks, and each verdict follows the weight.
        press("Tab", says("Тегло"), "the weight list by its label")
        for _ in range(weights.index(RIGHT)):
            press("Down")
        said = press("Down", says(right_first, *results),
                     f"the verdict on {METAL} and {RIGHT}, and the four results: {right}")
        # The weight as the reading locale writes it: "19,32" in Bulgarian.
        spoken_weight = RIGHT.replace(".", ",") if language == "bg" else RIGHT
        item = next((i for i, u in enumerate(said) if u.startswith(spoken_weight)), None)
        told = next((i for i, u in enumerate(said) if right_first in u), None)
        if item is None or told is None or item > told:
            failures.append(f"{RIGHT}, then its verdict")
        press("Up", says(wrong), f"the verdict on {METAL} and {WRONG}: {wrong}")
        press("Down", says(right_first), "the right verdict again")

        # Back to the metal list: it says what is chosen in it; on to the
        # weight list again, which says its choice and not the verdict again.
        press("shift+Tab", says(METAL), "the chosen metal on coming back to its list")
        press("Tab", lambda said: says("Тегло")(said) and not says(right_first)(said),
              "the weight list again, without the verdict")

        # Back past the metal list and the message box to the last result
        # box: its name and whole number, once, and no "selected".
        for _ in range(2):
            press("shift+Tab")
        number = results[-1]

        def once(said):
            cut = [u for u in said if number[:-1] in u and number not in u]
            return (sum(u.count(number) for u in said) == 1 and not cut
                    and says("Mкуб=")(said) and not any("selected" in u for u in said))

        press("shift+Tab", once, f"the result box's name and {number}, once")

        # speech-dispatcher's symbol rules have had the numbers by then.
        if right_first.split(" тегло ")[0] not in reader.synthesised():
            failures.append("the verdict never reached the speech synthesiser")
        if language == "bg":
            failures += reader.bulgarian_faults()

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
