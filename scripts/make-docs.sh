#!/usr/bin/env bash
# Regenerates every picture of the documentation with the built tool:
#   docs/shaderball-{maya,mentalray,both}.png   the README's shader balls
#   docs/envlight-{maya,mentalray,both}.png     the ball lit by the built-in sun alone
#   docs/swatch-{maya,mentalray,both}.png       the paint swatch, framed to fill
#   docs/model-fill-{maya,mentalray,both}.png   a long model framed to fill
#   docs/closeup-{maya,mentalray,both}.png      a close-up of the swatch's flakes
#   docs/parameters/*.png                       the strips of docs/parameters.md
# Extra arguments go to every sweep (for example --spp 16).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target flakecoat
tool=build/release/bin/flakecoat

"$tool" render --host both --size 512x512 --spp 4 --out docs/shaderball.png >/dev/null
"$tool" render --host both --size 512x512 --spp 16 --env sun --lights none --floor shadow \
  --out docs/envlight.png >/dev/null
"$tool" render --host both --shape swatch --rotate -30 --size 480x320 --spp 16 --out docs/swatch.png >/dev/null

# A long, boxy body (a superellipsoid 6 long, 1.6 high, 2.2 deep), made here
# so the pictures need no downloaded model; seen from the front-left, framed
# to fill.
model=$(mktemp --suffix=.obj)
trap 'rm -f "$model"' EXIT
awk 'function s(w) { return (w < 0 ? -1 : 1) * (w < 0 ? -w : w) ^ 0.35 }
BEGIN {
  pi = 3.14159265358979; rings = 48; segments = 96
  for (i = 0; i <= rings; ++i) for (j = 0; j < segments; ++j) {
    phi = -pi / 2 + pi * i / rings; theta = 2 * pi * j / segments
    printf "v %.6f %.6f %.6f\n", 3 * s(cos(phi)) * s(cos(theta)), 0.8 + 0.8 * s(sin(phi)), 1.1 * s(cos(phi)) * s(sin(theta))
  }
  for (i = 0; i < rings; ++i) for (j = 0; j < segments; ++j) {
    a = i * segments + j + 1; b = i * segments + (j + 1) % segments + 1
    printf "f %d %d %d %d\n", a, b, b + segments, a + segments
  }
}' >"$model"
"$tool" render --host both --size 512x320 --spp 16 --mesh "$model" --orbit -35 --elevation 15 \
  --out docs/model-fill.png >/dev/null
# A flake spans about 4 pixels: each host's own flakes (Maya's in world
# space, mental ray's in texture space), silver's fine ones
"$tool" render --host both --look silver --size 384x384 --spp 16 --shape swatch --shot closeup \
  --out docs/closeup.png >/dev/null

out=docs/parameters
rm -rf "$out"
mkdir -p "$out"
cell=(--size 112x112 --spp 4)
# sweep HOST NAME=FROM:TO:STEPS [--set ...]: docs/parameters/NAME-HOST.png,
# or NAME-maya.png and NAME-mentalray.png for both hosts.
sweep() {
  local host=$1 vary=$2
  shift 2
  local name=${vary%%=*}
  local file="$out/$name-$host.png"
  [[ $host == both ]] && file="$out/$name.png"
  "$tool" sweep --host "$host" --vary "$vary" "${cell[@]}" --out "$file" "$@" >/dev/null
}

# Inputs both deliverables have, under the same names
sweep both color=0.8,0.1,0.1:0.1,0.2,0.8:5 "$@"
sweep both diffuse=0:1:5 "$@"
sweep both ambientColor=0:1:5 "$@"
sweep both incandescence=0:0.4:5 "$@"
sweep both depthRangeMin=0:400:5 "$@"
sweep both depthRangeMax=0:400:5 "$@"
sweep both refractiveIndex=1:2.2:5 "$@"
sweep both specularPower=0:1:5 "$@"
sweep both specularMin=10:210:5 "$@"
sweep both specularMax=10:410:5 "$@"
sweep both normalDeviation=0:4:5 "$@"
sweep both frequencyX=10:410:5 "$@"
sweep both frequencyY=10:410:5 "$@"
sweep both seed=0:4:5 "$@"
sweep both reflectivity=0:1:5 "$@"
# The Maya node's own
sweep maya transparency=0:1:5 "$@"
# The mental ray shader's own
sweep mentalray specularColor=1,1,1:1,0.3,0:5 "$@"
sweep mentalray normalCamera=0,0,0:0.6,0,0:5 "$@"
sweep mentalray useIrradiance=0:1:2 "$@"
sweep mentalray irradianceColor=0:1:5 --set useIrradiance=on "$@"
echo "docs/shaderball-*.png, docs/swatch-*.png, docs/model-fill-*.png, docs/closeup-*.png, docs/envlight-*.png and $(ls "$out" | wc -l) strips in $out" >&2
