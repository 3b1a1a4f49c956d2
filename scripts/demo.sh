#!/usr/bin/env bash
# Builds the project and renders the default shader ball with both hosts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target flakecoat flakeCoat tarn_flakeCoat
mkdir -p out
build/release/bin/flakecoat render --host both --out out/shaderball.png "$@"
