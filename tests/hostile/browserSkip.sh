#!/usr/bin/env bash
# The browser test where Chromium cannot start: CTest's skip status (77),
# and a failure when CI=true. Runs the test's own script against a browser
# path that does not exist; needs the npm packages the browser test installs.
#   bash browserSkip.sh PATH/TO/flakecoat
set -u
tool=$1
browser=$(cd "$(dirname "$0")/../browser" && pwd)
if [[ ! -d "$browser/node_modules/puppeteer-core" ]] || ! command -v node >/dev/null; then
  echo "puppeteer-core or Node.js is not installed here (tests/browser/run.sh installs them)"
  if [[ "${CI:-}" == "true" ]]; then exit 1; fi
  exit 77
fi
CHROMIUM=/nonexistent CI= node "$browser/viewerTest.mjs" "$tool"
skipped=$?
CHROMIUM=/nonexistent CI=true node "$browser/viewerTest.mjs" "$tool"
failed=$?
if [[ $skipped -ne 77 || $failed -ne 1 ]]; then
  echo "expected a skip (77) and, in CI, a failure (1); got $skipped and $failed" >&2
  exit 1
fi
