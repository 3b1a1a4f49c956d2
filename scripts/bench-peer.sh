#!/usr/bin/env bash
# Compares the preview renderer with a peer: POV-Ray 3.7 renders an equal
# scene (a reflective metallic sphere on a plane, two point lights with
# shadows, reflection 0.5, a gradient sky; 512x512, no anti-aliasing,
# 2 threads) and the benchmark renders our default shader ball at the same
# size, one sample per pixel and 2 threads. Then both render the same scene
# with the sphere replaced by the benchmark's million-triangle model of it
# (smooth-shaded, given to POV-Ray as a mesh2). All rates are primary
# samples per second of tracing time: POV-Ray's own reported trace time
# (parsing, mesh loading and start-up excluded) and the benchmark's render
# loop. Last, the model's rate over the ball's, both rendered in turn in one
# loop so that they see the same load.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target flakecoat_bench_preview >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same camera, ball, floor and lights as the default scene; POV-Ray is
# left-handed, so z changes sign. The painted object comes from object.inc.
cat >"$work/scene.pov" <<'POV'
#version 3.7;
global_settings { assumed_gamma 1.0 max_trace_level 2 }
camera { location <0, 1.9, -6.2> look_at <0, 0.8, 0> angle 28 }
light_source { <-4, 5, -4> color rgb <1, 0.97, 0.92> }
light_source { <4.5, 2.5, -3> color rgb <0.85, 0.9, 1> * 0.5 }
sky_sphere {
  pigment { gradient y color_map { [0 color rgb <0.85, 0.9, 0.97>] [1 color rgb <0.22, 0.42, 0.85>] } }
}
object {
  #include "object.inc"
  texture { pigment { color rgb <0.21, 1, 0.18> }
            finish { metallic reflection 0.5 diffuse 0.5 specular 0.6 roughness 0.02 } }
}
plane { y, 0 pigment { checker color rgb 0.42 color rgb 0.34 } finish { diffuse 0.8 } }
POV

size=512
samples=$((size * size))

# POV-Ray's primary samples per second for the scene with object.inc as it
# stands; sets povray_rate and trace.
povray_rate() {
  povray -D +W$size +H$size -A +WT2 "+L$work" "+I$work/scene.pov" "+O$work/scene.png" 2>"$work/povray.log" || {
    cat "$work/povray.log" >&2
    exit 1
  }
  # "  Trace Time:   0 hours  0 minutes  0 seconds (0.087 seconds)"
  trace=$(sed -n 's/.*Trace Time:.*(\([0-9.]*\) seconds).*/\1/p' "$work/povray.log")
  if [[ -z "$trace" ]]; then
    echo "bench-peer: no trace time in POV-Ray's report" >&2
    exit 1
  fi
  povray_rate=$(awk -v s=$samples -v t="$trace" 'BEGIN { printf "%.0f", s / t }')
}

# Our rates from the benchmark's CSV for cases matching $1, beside POV-Ray's.
report() {
  printf '%-40s %14s\n' "$2 (512x512, 1 spp, 2 threads)" "samples/s"
  printf '%-40s %14s   (trace time %s s)\n' "POV-Ray 3.7" "$povray_rate" "$trace"
  # CSV columns: name,iterations,real_time,cpu_time,time_unit,bytes_per_second,items_per_second,...
  awk -F, -v peer="$povray_rate" -v pattern="$1" 'NR > 1 && $1 ~ pattern {
    name = $1; gsub(/"/, "", name); sub(/\/manual_time/, "", name); sub(/^[A-Za-z]+\//, "flakecoat preview, ", name)
    printf "%-40s %14.0f   (%.2fx POV-Ray)\n", name, $7, $7 / peer
  }' "$work/ours.csv"
}

# The ball
echo 'sphere { <0, 1, 0>, 1' >"$work/object.inc"
echo '}' >>"$work/object.inc"
povray_rate
# The benchmark writes its model where the mesh is wanted and keeps it.
FLAKECOAT_BENCH_MESH_OBJ="$work/sphere.obj" build/release/bin/flakecoat_bench_preview \
  --benchmark_filter='^(PeerScene|PeerMesh)/' --benchmark_format=csv --benchmark_min_time=1 2>/dev/null >"$work/ours.csv"
report PeerScene "the shader ball"
echo

# The model as a mesh2: vertices and normals share indices, OBJ's from 1
awk '
  $1 == "v"  { v[nv++] = sprintf("<%s,%s,%s>", $2, $3, -$4) }
  $1 == "vn" { n[nn++] = sprintf("<%s,%s,%s>", $2, $3, -$4) }
  $1 == "f"  { split($2, a, "/"); split($3, b, "/"); split($4, c, "/"); f[nf++] = sprintf("<%d,%d,%d>", a[1] - 1, b[1] - 1, c[1] - 1) }
  END {
    print "mesh2 {"
    print "vertex_vectors { " nv; for (i = 0; i < nv; ++i) print "," v[i]; print "}"
    print "normal_vectors { " nn; for (i = 0; i < nn; ++i) print "," n[i]; print "}"
    print "face_indices { " nf; for (i = 0; i < nf; ++i) print "," f[i]; print "}"
    print "}"
  }' "$work/sphere.obj" >"$work/object.inc"
triangles=$(grep -c '^f ' "$work/sphere.obj")
povray_rate
report PeerMesh "the ball as $triangles triangles"
echo

# The model beside the ball, per host and hierarchy build quality
FLAKECOAT_BENCH_MESH_OBJ="$work/sphere.obj" build/release/bin/flakecoat_bench_preview \
  --benchmark_filter='^MeshVsBall/' --benchmark_format=csv --benchmark_min_time=1 2>/dev/null >"$work/ratio.csv"
printf '%-40s %14s\n' "the model beside the ball (1 spp)" "model / ball"
awk -F, 'NR == 1 { for (i = 1; i <= NF; ++i) column[$i] = i; next }
  {
    name = $1; gsub(/"/, "", name); sub(/\/manual_time/, "", name); sub(/^MeshVsBall\//, "flakecoat preview, ", name)
    printf "%-40s %14.2f\n", name, $(column["\"meshToBall\""])
  }' "$work/ratio.csv"
