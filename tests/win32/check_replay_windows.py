#!/usr/bin/env python3
"""tests/check_replay.py, expecting the numbers as Windows writes them.

Windows' locale data groups digits from the fourth one up in every locale;
the common locale data of Linux leaves four-digit numbers ungrouped in
Bulgarian ("2415,00" there, "2 415,00" here, with a no-break space). Every
other expectation of check_replay.py holds as it is.

Usage: check_replay_windows.py MERVALIN_REPLAY NAME=VALUE...
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import check_replay  # noqa: E402

check_replay.CONVENTIONS["bg_BG"] = ("\u00a0", ",", 4)

if __name__ == "__main__":
    check_replay.main()
