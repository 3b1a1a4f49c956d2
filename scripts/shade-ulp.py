#!/usr/bin/env python3
"""Compares two `flakecoat shade` outputs of the same samples in units in the last place.

    python3 scripts/shade-ulp.py linux.txt windows.txt --bound 4
    python3 scripts/shade-ulp.py linux.txt windows.txt --relative-bound 1e-5

Both outputs must have the same lines and the same "error" lines; every other
component is read back as the single-precision value the tool printed (%.9g
reads back exactly) and the two are compared by their distance in
representable floats, and by their difference relative to the larger
magnitude. Exits 1 when the outputs disagree in shape or the largest
distance exceeds a bound given.
"""
import argparse
import math
import struct
import sys


def ordered(value):
    """The float's position on the line of single-precision values (+0 and -0 alike)."""
    bits = struct.unpack("<i", struct.pack("<f", value))[0]
    return bits if bits >= 0 else -(bits & 0x7FFFFFFF)


def ulps(a, b):
    if math.isnan(a) or math.isnan(b):
        return 0 if math.isnan(a) and math.isnan(b) else math.inf
    return abs(ordered(a) - ordered(b))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("first")
    parser.add_argument("second")
    parser.add_argument("--bound", type=int, default=None, help="largest distance allowed, in ulp")
    parser.add_argument("--relative-bound", type=float, default=None,
                        help="largest difference allowed, relative to the larger magnitude")
    args = parser.parse_args()
    with open(args.first) as f:
        first = f.read().splitlines()
    with open(args.second) as f:
        second = f.read().splitlines()
    if len(first) != len(second):
        sys.exit(f"shade-ulp: {len(first)} lines against {len(second)}")

    largest, where, differing, components = 0, None, 0, 0
    relative, relativeWhere = 0.0, None
    for number, (a, b) in enumerate(zip(first, second), start=1):
        if (a == "error") != (b == "error"):
            sys.exit(f"shade-ulp: line {number}: {a!r} against {b!r}")
        if a == "error":
            continue
        left, right = a.split(), b.split()
        if len(left) != len(right):
            sys.exit(f"shade-ulp: line {number}: {len(left)} components against {len(right)}")
        for x, y in zip(left, right):
            distance = ulps(float(x), float(y))
            scale = max(abs(float(x)), abs(float(y)))
            if distance > 0 and scale > 0 and math.isfinite(scale):
                share = abs(float(x) - float(y)) / scale
                if share > relative:
                    relative, relativeWhere = share, number
            components += 1
            differing += distance > 0
            if distance > largest:
                largest, where = distance, number
    print(f"{len(first)} samples, {components} components: {differing} differ, "
          f"largest difference {largest} ulp" + (f" (line {where})" if where else "") +
          f", largest relative difference {relative:.3g}" + (f" (line {relativeWhere})" if relativeWhere else ""))
    if args.bound is not None and largest > args.bound:
        sys.exit(f"shade-ulp: {largest} ulp exceeds the bound of {args.bound} ulp")
    if args.relative_bound is not None and relative > args.relative_bound:
        sys.exit(f"shade-ulp: a relative difference of {relative:.3g} exceeds the bound of {args.relative_bound:g}")


if __name__ == "__main__":
    main()
