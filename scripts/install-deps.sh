#!/usr/bin/env bash
# Installs the Debian packages the project builds with, skipping those present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libopenexr-dev libtbb-dev
  libcli11-dev nlohmann-json3-dev libstb-dev fonts-dejavu-core libcpp-httplib-dev
  libembree-dev libtinyobjloader-dev
  dpkg-dev file
)
for option in "$@"; do
  case "$option" in
    # The peer renderer the benchmark script compares against; only it needs it.
    --bench) packages+=(povray) ;;
    # The Windows build and its tests (scripts/test-windows.sh): the cross
    # compiler, Wine to run the programs, GoogleTest's sources to build it
    # with the cross compiler, Python for the sample corpus. The 32-bit
    # build (windows-x86) needs the i686 compiler and 32-bit Wine, an i386
    # package.
    --windows) packages+=(mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 wine32:i386
                          googletest python3)
               i386=1 ;;
    # The fuzz targets (scripts/fuzz.sh): clang with libFuzzer and its
    # sanitizer runtimes.
    --fuzz) packages+=(clang libfuzzer-14-dev libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
# An i386 package needs the architecture added first (once).
if [[ ${i386:-0} == 1 ]] && ! { dpkg --print-architecture; dpkg --print-foreign-architectures; } | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
