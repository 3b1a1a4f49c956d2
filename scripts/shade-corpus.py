#!/usr/bin/env python3
"""Writes a seeded corpus of `flakecoat shade` samples (JSON Lines) for one host.

The same seed always gives the same lines, so the corpus need not be kept:
shade it before and after a change that must not move a bit and compare.

    python3 scripts/shade-corpus.py --host maya --count 10000 --seed 1 > maya.jsonl
    build/release/bin/flakecoat shade --host maya maya.jsonl > before.txt
"""
import argparse
import json
import random
import sys

# Values a fair share of samples take exactly: zeros, signs, ones, exact
# halves and grazing or degenerate geometry are where rounding and the
# special cases of the model show.
SPECIAL = [0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 1e-3, 1e3]


def number(rng, low, high, special=0.15):
    if rng.random() < special:
        return rng.choice(SPECIAL)
    return rng.uniform(low, high)


def triple(rng, low, high, special=0.15):
    return [number(rng, low, high, special) for _ in range(3)]


def direction(rng):
    axis = rng.random()
    if axis < 0.1:
        return [0.0, 0.0, rng.choice([1.0, -1.0])]
    if axis < 0.15:
        return [0.0, 0.0, 0.0]
    return [rng.gauss(0.0, 1.0) for _ in range(3)]


def maya_sample(rng):
    s = {}
    if rng.random() < 0.7:
        s["color"] = triple(rng, 0.0, 1.0)
    if rng.random() < 0.4:
        s["ambientColor"] = triple(rng, 0.0, 1.0)
    if rng.random() < 0.3:
        s["incandescence"] = triple(rng, 0.0, 0.5)
    if rng.random() < 0.5:
        s["transparency"] = triple(rng, 0.0, 1.0)
    if rng.random() < 0.6:
        s["refractiveIndex"] = [rng.choice([1.0, 1.4, rng.uniform(1.0, 3.0)]) for _ in range(3)]
    s["normalCamera"] = direction(rng)
    s["pointCamera"] = [rng.uniform(-5, 5), rng.uniform(-5, 5), rng.uniform(-20, -1)]
    s["pointWorld"] = triple(rng, -3.0, 3.0, 0.05)
    s["rayDirection"] = direction(rng)
    if rng.random() < 0.5:
        s["depthRange"] = [number(rng, 0, 100), number(rng, 0, 100)]
    if rng.random() < 0.5:
        s["specular"] = [rng.choice([50.0, 90.0, 1.0, 2.0, number(rng, 0.5, 120)]) for _ in range(2)]
    if rng.random() < 0.5:
        s["frequency"] = [number(rng, 0, 300), number(rng, 0, 300)]
    for key, low, high in (("diffuse", 0, 1), ("specularPower", 0, 2), ("normalDeviation", 0, 2),
                           ("seed", -5000, 5000), ("reflectivity", -0.5, 1)):
        if rng.random() < 0.5:
            s[key] = number(rng, low, high)
    if rng.random() < 0.2:
        s["placementMatrix"] = [rng.uniform(-2, 2) for _ in range(16)]
    s["raySampler"] = rng.random() < 0.7
    s["objectId"] = rng.random() < 0.5
    s["rayDepth"] = rng.choice([0, 0, 0, 1])
    lights = []
    for _ in range(rng.choice([0, 1, 1, 2, 3, 4])):
        lights.append({
            "lightDirection": direction(rng),
            "lightIntensity": triple(rng, 0.0, 2.0, 0.05),
            "lightAmbient": rng.random() < 0.5,
            "lightDiffuse": rng.random() < 0.8,
            "lightSpecular": rng.random() < 0.7,
        })
    s["lights"] = lights
    if rng.random() < 0.7:
        s["trace"] = triple(rng, 0.0, 1.0)
    return s


def colour(rng, low=0.0, high=1.0):
    c = triple(rng, low, high)
    if rng.random() < 0.2:
        c.append(number(rng, 0, 1))
    return c


def mentalray_sample(rng):
    s = {}
    for key in ("color", "ambientColor", "incandescence", "specularColor", "irradianceColor"):
        if rng.random() < 0.4:
            s[key] = colour(rng)
    if rng.random() < 0.3:
        s["normalCamera"] = triple(rng, -1, 1, 0.3)
    if rng.random() < 0.6:
        s["refractiveIndex"] = [rng.choice([1.0, 1.4, rng.uniform(1.0, 3.0)]) for _ in range(3)]
    for key, low, high in (("diffuse", 0, 1), ("depthRangeMin", 0, 100), ("depthRangeMax", 0, 100),
                           ("specularPower", 0, 2), ("frequencyX", 0, 300), ("frequencyY", 0, 300),
                           ("normalDeviation", 0, 2), ("reflectivity", -0.5, 1)):
        if rng.random() < 0.5:
            s[key] = number(rng, low, high)
    for key in ("specularMin", "specularMax"):
        if rng.random() < 0.5:
            s[key] = rng.choice([50.0, 90.0, 1.0, 2.0, number(rng, 0.5, 120)])
    if rng.random() < 0.5:
        s["seed"] = rng.randint(-100000, 100000)
    if rng.random() < 0.3:
        s["useIrradiance"] = rng.choice([True, False, 0, 1, 7])
    names = ["key", "fill", "rim", "area"][:rng.choice([0, 1, 1, 2, 3, 4])]
    if names:
        s["light"] = names
        s["lights"] = {}
        for name in names:
            samples = rng.choice([0, 1, 1, 1, 4, 16])
            s["lights"][name] = [{"color": triple(rng, 0, 2, 0.05), "direction": direction(rng)}
                                 for _ in range(samples)]
        if rng.random() < 0.2:
            first = rng.randint(0, len(names))
            s["i_light"] = first
            s["n_light"] = rng.randint(-1, len(names) - first)
    if rng.random() < 0.15:
        connectable = ["color", "diffuse", "seed", "refractiveIndex", "specularMax", "useIrradiance"]
        key = rng.choice(connectable)
        value = {"color": colour(rng), "diffuse": number(rng, 0, 1), "seed": rng.randint(-50, 50),
                 "refractiveIndex": triple(rng, 1, 2, 0), "specularMax": number(rng, 1, 100),
                 "useIrradiance": rng.choice([True, False])}[key]
        s["connections"] = {key: value}
    s["normal"] = direction(rng)
    s["dir"] = direction(rng)
    s["tex"] = [number(rng, -2, 2), number(rng, -2, 2)]
    if rng.random() < 0.3:
        s["result"] = colour(rng)
    for key in ("reflection", "environment", "irradiance"):
        if rng.random() < 0.5:
            s[key] = colour(rng, 0, 2)
    return s


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", choices=["maya", "mentalray"], required=True)
    parser.add_argument("--count", type=int, default=10000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(f"{args.host}:{args.seed}")
    make = maya_sample if args.host == "maya" else mentalray_sample
    for _ in range(args.count):
        sys.stdout.write(json.dumps(make(rng), separators=(",", ":")) + "\n")


if __name__ == "__main__":
    main()
