#!/usr/bin/env bash
# Runs one of the browser scripts against a built flakecoat (default: the
# browser test). Installs Chromium, Node.js and npm when missing, and the
# pinned npm packages (puppeteer-core drives the system Chromium; no browser
# is downloaded). Where Chromium cannot be installed or started the test
# says so and exits with 77, which CTest reports as skipped; in CI
# (CI=true) that is a failure instead.
#   bash tests/browser/run.sh build/release/bin/flakecoat [viewerTest.mjs|latency.mjs|screenshot.mjs] [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "${1:?usage: run.sh PATH/TO/flakecoat [SCRIPT.mjs] [ARGS...]}")
script=${2:-viewerTest.mjs}
shift $(( $# >= 2 ? 2 : 1 ))

missing=()
command -v chromium >/dev/null || missing+=(chromium)
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  if ! { $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
         $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2; }; then
    if [[ "${CI:-}" == "true" ]]; then echo "FAILED: cannot install ${missing[*]} (a skip is a failure in CI)" >&2; exit 1; fi
    echo "SKIPPED: browser test: cannot install ${missing[*]}"
    exit 77
  fi
fi

(cd "$here" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2)
exec node "$here/$script" "$tool" "$@"
