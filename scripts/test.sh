#!/usr/bin/env bash
# Builds and runs every test: the optimised build (the viewer in headless
# Chromium among its tests), the ASan+UBSan build, and the concurrency
# tests under ThreadSanitizer; then the deliverables' build against the
# stand-ins laid out as the hosts' devkits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
for preset in release asan tsan; do
  echo "== $preset ==" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "== devkit build ==" >&2
bash scripts/check-devkit-build.sh build/release
