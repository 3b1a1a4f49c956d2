#!/usr/bin/env bash
# Builds the .deb with CPack and lists its contents: the tool, the private
# stand-ins and both host trees under /usr. Exits 77 (skipped) without
# dpkg-deb.
#   debPackage.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
command -v dpkg-deb >/dev/null || { echo "dpkg-deb not found: skipped" >&2; exit 77; }
rm -rf "$work"
mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/flakecoat ./usr/lib/flakecoat/libOpenMaya.so ./usr/lib/flakecoat/libmentalray_standin.so \
            ./usr/lib/flakecoat/maya/flakeCoat.mod ./usr/lib/flakecoat/maya/plug-ins/flakeCoat.so \
            ./usr/lib/flakecoat/maya/scripts/AEflakeCoatTemplate.mel \
            ./usr/lib/flakecoat/mentalray/lib/tarn_flakeCoat.so \
            ./usr/lib/flakecoat/mentalray/include/tarn_flakeCoat.mi ./usr/share/doc/flakecoat/README.md; do
  grep -qx -- "$file" <<<"$contents" || { echo "$deb lacks $file; it holds:" >&2; echo "$contents" >&2; exit 1; }
done
dpkg-deb -f "$deb" Package Version Depends
rm -rf "$work"
