#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan + UBSan) and runs each for
# SECONDS (default 60) over its committed seed corpus and regression inputs,
# growing a working corpus under build/fuzz/corpus/. Any crash, leak,
# timeout or sanitizer report fails the run; the input that caused it is
# left as build/fuzz/findings/TARGET-*. Prints executions per second and
# coverage per target at the end.
#
#   bash scripts/fuzz.sh            # 60 s per target
#   bash scripts/fuzz.sh 600        # a long campaign: 10 minutes per target
#   FUZZ_TARGETS="fuzz_settings" bash scripts/fuzz.sh 30   # some targets only
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/install-deps.sh --fuzz

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFLAKECOAT_FUZZ=ON -DFLAKECOAT_BUILD_TESTS=OFF -DFLAKECOAT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets -j "$(nproc)"

targets=(${FUZZ_TARGETS:-fuzz_maya_sample fuzz_mentalray_sample fuzz_settings fuzz_mi_declaration fuzz_environment_exr fuzz_obj})
declare -A summary
failed=()
mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  name="${target#fuzz_}"
  seeds="tests/fuzz/corpus/$name"
  regressions="tests/fuzz/regressions/$name"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  dictionary=()
  if [[ -f "tests/fuzz/$name.dict" ]]; then dictionary=(-dict="tests/fuzz/$name.dict"); fi
  inputs=("$corpus" "$seeds")
  if [[ -d "$regressions" ]]; then inputs+=("$regressions"); fi
  log="$build/$name.log"
  echo "== $target: ${seconds} s ==" >&2
  if "$build/bin/$target" "${inputs[@]}" "${dictionary[@]}" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" >"$log" 2>&1; then
    summary[$target]=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/^#([0-9]+)[^c]*cov: ([0-9]+) ft: ([0-9]+).*exec\/s: ([0-9]+).*/runs \1, cov \2, ft \3, exec\/s \4/')
  else
    failed+=("$target")
    summary[$target]="FAILED: see $log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -5 >&2 || true
  fi
done

echo "== fuzzing, ${seconds} s per target ==" >&2
for target in "${targets[@]}"; do echo "$target: ${summary[$target]}" >&2; done
if ((${#failed[@]} > 0)); then
  echo "failed: ${failed[*]}" >&2
  exit 1
fi
