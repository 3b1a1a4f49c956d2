#!/usr/bin/env bash
# Builds the tool and renders the default shader ball with both hosts:
# out/shaderball-maya.png and out/shaderball-mentalray.png. Extra arguments
# go to `flakecoat render` (for example --size 1024x1024 --spp 16).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset release >/dev/null
# The tool pulls in the libraries it loads at run time.
cmake --build --preset release -j "$(nproc)" --target flakecoat
mkdir -p out
build/release/bin/flakecoat render --host both --out out/shaderball.png "$@"
