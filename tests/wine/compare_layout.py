#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Compares the controls of a running window (win_reader controls) with where
# its description places them (list_controls) at a resolution: every control
# of the description has a native control of its class within 2 pixels, and
# there are no others.
#   compare_layout.py DPI DESCRIBED READ
import sys

TOLERANCE = 2
CLASSES = {"label": "static", "image": "static", "picturebox": "static", "line": "static",
           "frame": "button", "option": "button", "button": "button", "textbox": "edit"}


def pixels(twips, dpi):
    return int(twips * dpi / 1440 + 0.5)


def fits(expected, actual, dpi):
    kind, left, top, width, height, keeps = expected[:6]
    left, top, width, height = (pixels(int(v), dpi) for v in (left, top, width, height))
    cls, a_left, a_top, a_width, a_height = actual[0], *map(int, actual[1:5])
    if cls != CLASSES[kind] or abs(a_top - top) > TOLERANCE:
        return False
    if keeps == "left":
        return abs(a_left - left) <= TOLERANCE
    if keeps == "right":
        return abs(a_left + a_width - (left + width)) <= TOLERANCE
    return (abs(a_left - left) <= TOLERANCE and abs(a_width - width) <= TOLERANCE
            and abs(a_height - height) <= TOLERANCE)


def main():
    dpi = int(sys.argv[1])
    with open(sys.argv[2], encoding="utf-8") as f:
        described = [line.rstrip("\n").split("|", 6) for line in f if line.strip()]
    with open(sys.argv[3], encoding="utf-8") as f:
        read = [line.rstrip("\n").split("|", 5) for line in f if line.strip()]
    unmatched = list(read)
    failures = []
    for expected in described:
        match = next((actual for actual in unmatched if fits(expected, actual, dpi)), None)
        if match is None:
            failures.append(f"no {expected[0]} at {expected[1:5]} twips ({expected[6]!r})")
        else:
            unmatched.remove(match)
    failures += [f"a control the description does not have: {actual}" for actual in unmatched]
    for failure in failures:
        print(f"at {dpi} dpi: {failure}", file=sys.stderr)
    sys.exit(1 if failures else 0)


main()
