#!/usr/bin/env bash
# Compares the preview renderer with a peer: POV-Ray 3.7 renders an equal
# scene (a reflective metallic sphere on a plane, two point lights with
# shadows, reflection 0.5, a gradient sky; 512x512, no anti-aliasing,
# 2 threads) and the benchmark renders our default shader ball at the same
# size, one sample per pixel and 2 threads. Both rates are primary samples
# per second of tracing time: POV-Ray's own reported trace time (parsing and
# start-up excluded) and the benchmark's render loop.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target flakecoat_bench_preview >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same camera, ball, floor and lights as the default scene; POV-Ray is
# left-handed, so z changes sign.
cat >"$work/ball.pov" <<'POV'
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 2 }
camera { location <0, 1.9, -6.2> look_at <0, 0.8, 0> angle 28 }
light_source { <-4, 5, -4> color rgb <1, 0.97, 0.92> }
light_source { <4.5, 2.5, -3> color rgb <0.85, 0.9, 1> * 0.5 }
sky_sphere {
  pigment { gradient y color_map { [0 color rgb <0.85, 0.9, 0.97>] [1 color rgb <0.22, 0.42, 0.85>] } }
}
sphere { <0, 1, 0>, 1
  texture { pigment { color rgb <0.21, 1, 0.18> }
            finish { metallic reflection 0.5 diffuse 0.5 specular 0.6 roughness 0.02 } }
}
plane { y, 0 pigment { checker color rgb 0.42 color rgb 0.34 } finish { diffuse 0.8 } }
POV

size=512
povray -D +W$size +H$size -A +WT2 "+I$work/ball.pov" "+O$work/ball.png" 2>"$work/povray.log" || {
  cat "$work/povray.log" >&2
  exit 1
}
# "  Trace Time:   0 hours  0 minutes  0 seconds (0.087 seconds)"
trace=$(sed -n 's/.*Trace Time:.*(\([0-9.]*\) seconds).*/\1/p' "$work/povray.log")
if [[ -z "$trace" ]]; then
  echo "bench-peer: no trace time in POV-Ray's report" >&2
  exit 1
fi
samples=$((size * size))
povray_rate=$(awk -v s=$samples -v t="$trace" 'BEGIN { printf "%.0f", s / t }')

build/release/bin/flakecoat_bench_preview --benchmark_filter='^PeerScene/' --benchmark_format=csv \
  --benchmark_min_time=1 2>/dev/null >"$work/ours.csv"

printf '%-34s %14s\n' "renderer (512x512, 1 spp, 2 threads)" "samples/s"
printf '%-34s %14s   (trace time %s s)\n' "POV-Ray 3.7" "$povray_rate" "$trace"
# CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,...
awk -F, -v peer="$povray_rate" 'NR > 1 && $1 ~ /PeerScene/ {
  name = $1; gsub(/"/, "", name); sub(/\/manual_time/, "", name); sub(/PeerScene\//, "flakecoat preview, ", name)
  printf "%-34s %14.0f   (%.2fx POV-Ray)\n", name, $7, $7 / peer
}' "$work/ours.csv"
