#!/usr/bin/env python3
"""Finds and prints inputs on which the two forms of reflectVector round
differently, with each form's result, computed apart from the C++ code.

Maya form: single precision after every operation, normalised as the host's
vector does it: when the squared length is above 1e-20, each component times
the rounded reciprocal of the rounded root of the squared length. mental ray form: double intermediates, rounded to single at
the dot product and each component, then multiplied by the rounded
reciprocal of the rounded length. Prints C++ initialisers as hex floats.
"""
import math
import random
import struct


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def maya_reflect(V, N):
    d = f32(f32(f32(V[1] * N[1]) + f32(V[0] * N[0])) + f32(V[2] * N[2]))
    R = [f32(f32(f32(2.0 * n) * d) - v) for v, n in zip(V, N)]
    lensq = f32(f32(f32(R[0] * R[0]) + f32(R[1] * R[1])) + f32(R[2] * R[2]))
    if not lensq > 1e-20:
        return R
    factor = f32(1.0 / f32(math.sqrt(lensq)))
    return [f32(r * factor) for r in R]


def mentalray_reflect(V, N):
    d = f32((V[1] * N[1] + V[0] * N[0]) + V[2] * N[2])
    R = [f32(2.0 * n * d - v) for v, n in zip(V, N)]
    length = f32(math.sqrt(f32((R[0] * R[0] + R[1] * R[1]) + R[2] * R[2])))
    if length == 0.0:
        return R
    inv = f32(1.0 / length)
    return [f32(r * inv) for r in R]


def hexes(v):
    return "{%s}" % ", ".join(c.hex() for c in v)


if __name__ == "__main__":
    rng = random.Random(5)
    found = 0
    while found < 2:
        V = [f32(rng.uniform(-1, 1)) for _ in range(3)]
        N = [f32(rng.uniform(-1, 1)) for _ in range(3)]
        m, r = maya_reflect(V, N), mentalray_reflect(V, N)
        if m != r:
            found += 1
            print("    {%s, %s, %s, %s}," % (hexes(V), hexes(N), hexes(m), hexes(r)))
