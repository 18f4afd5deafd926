#!/usr/bin/env python3
"""Compares two outputs number by number: the text between the numbers
must match exactly; the numbers may differ by the relative (or, near
zero, absolute) tolerance given. Prints the largest changes.
Usage: golden-diff.py OLD NEW [--rel 1e-6] [--abs 1e-9]"""
import argparse
import re
import sys

NUMBER = re.compile(r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def split(text):
    return NUMBER.split(text), [float(x) for x in NUMBER.findall(text)], NUMBER.findall(text)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--rel", type=float, default=1e-6)
    ap.add_argument("--abs", type=float, default=1e-9)
    a = ap.parse_args()
    old_text, old, old_raw = split(open(a.old).read())
    new_text, new, new_raw = split(open(a.new).read())
    if old_text != new_text or len(old) != len(new):
        print(f"{a.new}: the text between the numbers differs")
        return 1
    worst, worst_abs, bad = (0.0, "", ""), (0.0, "", ""), 0
    for x, y, rx, ry in zip(old, new, old_raw, new_raw):
        d = abs(x - y)
        rel = d / max(abs(x), abs(y)) if d > a.abs else 0.0
        if rel > worst[0]:
            worst = (rel, rx, ry)
        if d > worst_abs[0]:
            worst_abs = (d, rx, ry)
        if d > a.abs and rel > a.rel:
            bad += 1
    changed = sum(1 for rx, ry in zip(old_raw, new_raw) if rx != ry)
    print(f"{a.new}: {changed} of {len(old)} numbers changed, largest relative change "
          f"{worst[0]:.2e} ({worst[1]} -> {worst[2]}), largest absolute change "
          f"{worst_abs[0]:.2e} ({worst_abs[1]} -> {worst_abs[2]}), {bad} beyond the tolerance")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
