#!/usr/bin/env python3
"""Golden values of solidNoise, computed apart from the C++ code.

Builds the tables from the C library's srandom(1)/random() (through ctypes,
so the same generator sequence as the shader) and evaluates the noise with
every operation rounded to single precision: each operation is done in
double on single-precision operands and rounded once to single, which gives
the correctly rounded single-precision result for +, -, *, / and sqrt.
Prints C++ initialisers {x, y, z, expected} as hexadecimal floats.
"""
import ctypes
import math
import random
import struct

libc = ctypes.CDLL("libc.so.6")
libc.random.restype = ctypes.c_long


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def build_tables():
    libc.srandom(1)
    gradients = []
    while len(gradients) < 256:
        x = f32(f32(libc.random() % 512 - 256) * 0.00390625)
        y = f32(f32(libc.random() % 512 - 256) * 0.00390625)
        z = f32(f32(libc.random() % 512 - 256) * 0.00390625)
        s = f32(f32(f32(y * y) + f32(x * x)) + f32(z * z))
        if s > 1.0 or s == 0.0:
            continue
        length = f32(math.sqrt(s))
        gradients.append((f32(x / length), f32(y / length), f32(z / length)))
    perm = list(range(256))
    for slot in range(255, 0, -1):
        other = libc.random() % 256
        perm[slot], perm[other] = perm[other], perm[slot]
    perm += perm[:258]
    gradients += gradients[:258]
    return perm, gradients


def noise(P, G, x, y, z):
    def axis(a):
        t = f32(a + 10000.0)
        n = int(t)  # truncation towards zero
        b0 = n & 255
        r0 = f32(t - n)
        return b0, (b0 + 1) & 255, r0, f32(r0 - 1.0)

    def fade(r):
        return f32(f32(3.0 - f32(2.0 * r)) * f32(r * r))

    def lerp(w, a, b):
        return f32(f32(f32(b - a) * w) + a)

    def value(q, rx, ry, rz):
        return f32(f32(f32(ry * q[1]) + f32(rx * q[0])) + f32(rz * q[2]))

    bx0, bx1, rx0, rx1 = axis(x)
    by0, by1, ry0, ry1 = axis(y)
    bz0, bz1, rz0, rz1 = axis(z)
    i, j = P[bx0], P[bx1]
    b00, b10, b01, b11 = P[i + by0], P[j + by0], P[i + by1], P[j + by1]
    sx, sy, sz = fade(rx0), fade(ry0), fade(rz0)
    a = lerp(sx, value(G[b00 + bz0], rx0, ry0, rz0), value(G[b10 + bz0], rx1, ry0, rz0))
    b = lerp(sx, value(G[b01 + bz0], rx0, ry1, rz0), value(G[b11 + bz0], rx1, ry1, rz0))
    e0 = lerp(sy, a, b)
    a = lerp(sx, value(G[b00 + bz1], rx0, ry0, rz1), value(G[b10 + bz1], rx1, ry0, rz1))
    b = lerp(sx, value(G[b01 + bz1], rx0, ry1, rz1), value(G[b11 + bz1], rx1, ry1, rz1))
    e1 = lerp(sy, a, b)
    return f32(lerp(sz, e0, e1) * 1.5)


POINTS = [
    (0.5, 0.25, 0.75),
    (1.3, -2.7, 3.1),
    (100.1, 200.2, 300.3),
    (21162.37, 1999356.125, 1999400.5),
    (-12345.678, 5.5, -20000.25),
    (-10000.5, -10001.75, -99999.9),
]

# And a seeded spread over the ranges the shader uses and beyond.
_rng = random.Random(1)
POINTS += [(_rng.uniform(-300, 300), _rng.uniform(-300, 300), _rng.uniform(-300, 300)) for _ in range(10)]
POINTS += [(19928 + _rng.uniform(0, 4000), 1998122 + _rng.uniform(0, 4000), 1998122 + _rng.uniform(0, 4000))
           for _ in range(10)]
POINTS += [(_rng.uniform(-60000, -10000), _rng.uniform(-60000, 60000), _rng.uniform(-12000, -10000))
           for _ in range(6)]

if __name__ == "__main__":
    P, G = build_tables()
    for p in POINTS:
        x, y, z = (f32(c) for c in p)
        print("    {%s, %s, %s, %s}," % (x.hex(), y.hex(), z.hex(), noise(P, G, x, y, z).hex()))
