#!/usr/bin/env bash
# The Windows builds: cross-compiles the `windows` preset (64-bit) with
# MinGW-w64, runs its tests under Wine, then shades seeded samples with the
# Windows and the Linux flakecoat and checks that they agree within the stated
# bound; then the same for the `windows-x86` preset (32-bit: the mental ray
# library, its host and tests) under 32-bit Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --windows

# The largest difference between the platforms' shade outputs, in units in
# the last place of single precision (README: "The Windows build").
bound=4
samples=10000
jobs=2
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi

echo "== windows ==" >&2
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

# The build's own Wine prefix, set up once before the tests use it in
# parallel.
export WINEPREFIX="$PWD/build/windows/wine"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  scripts/wine-run.sh wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
ctest --preset windows -j "$jobs"

echo "== windows against linux: flakecoat attributes and shade ==" >&2
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs" --target flakecoat
work=build/windows/platform-comparison
mkdir -p "$work"

# The same attribute table, but for the plug-in's path
build/release/bin/flakecoat attributes | grep -v '^plug-in ' >"$work/attributes-linux.txt"
scripts/wine-run.sh build/windows/bin/flakecoat.exe attributes | tr -d '\r' | grep -v '^plug-in ' \
  >"$work/attributes-windows.txt"
diff "$work/attributes-linux.txt" "$work/attributes-windows.txt" >&2
echo "attributes: the same $(wc -l <"$work/attributes-linux.txt") lines" >&2
for host in maya mentalray; do
  python3 scripts/shade-corpus.py --host "$host" --count "$samples" --seed 1 >"$work/$host.jsonl"
  linux=0 windows=0
  build/release/bin/flakecoat shade --host "$host" "$work/$host.jsonl" \
    >"$work/$host-linux.txt" 2>"$work/$host-linux.err" || linux=$?
  scripts/wine-run.sh build/windows/bin/flakecoat.exe shade --host "$host" "$work/$host.jsonl" \
    >"$work/$host-windows.txt" 2>"$work/$host-windows.err" || windows=$?
  # The same lines rejected, with the same messages and exit status
  if [[ $linux != "$windows" ]] || ! diff <(tr -d '\r' <"$work/$host-windows.err") "$work/$host-linux.err" >&2; then
    echo "$host: the platforms disagree on bad lines (exit $linux on Linux, $windows on Windows)" >&2
    exit 1
  fi
  echo -n "$host: " >&2
  python3 scripts/shade-ulp.py "$work/$host-linux.txt" "$work/$host-windows.txt" --bound "$bound" >&2
done

echo "== windows-x86 ==" >&2
started=$SECONDS
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 -j "$jobs"
export WINEPREFIX="$PWD/build/windows-x86/wine"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  scripts/wine32-run.sh wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
ctest --preset windows-x86 -j "$jobs"

# The 32-bit library against Linux: within 1e-5 of the larger magnitude
# (README: "The 32-bit mental ray library").
echo "== windows-x86 against linux: shade --host mentalray ==" >&2
work=build/windows-x86/platform-comparison
mkdir -p "$work"
python3 scripts/shade-corpus.py --host mentalray --count "$samples" --seed 1 >"$work/mentalray.jsonl"
linux=0 windows=0
build/release/bin/flakecoat shade --host mentalray "$work/mentalray.jsonl" \
  >"$work/mentalray-linux.txt" 2>"$work/mentalray-linux.err" || linux=$?
scripts/wine32-run.sh build/windows-x86/bin/flakecoat.exe shade --host mentalray "$work/mentalray.jsonl" \
  >"$work/mentalray-windows.txt" 2>"$work/mentalray-windows.err" || windows=$?
if [[ $linux != "$windows" ]] || ! diff <(tr -d '\r' <"$work/mentalray-windows.err") "$work/mentalray-linux.err" >&2; then
  echo "mentalray: the platforms disagree on bad lines (exit $linux on Linux, $windows on 32-bit Windows)" >&2
  exit 1
fi
echo -n "mentalray, 32-bit: " >&2
python3 scripts/shade-ulp.py "$work/mentalray-linux.txt" "$work/mentalray-windows.txt" --relative-bound 1e-5 >&2
echo "windows-x86: $((SECONDS - started)) s" >&2
