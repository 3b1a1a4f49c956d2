#!/usr/bin/env bash
# Installs the build into a prefix, moves the prefix elsewhere and runs the
# installed tool from there: it must find every library relative to itself,
# never in the build tree or the first prefix.
#   installMoveRun.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
tool="$work/moved/bin/flakecoat"

# The host layouts are in place.
for file in lib/flakecoat/maya/flakeCoat.mod lib/flakecoat/maya/plug-ins/flakeCoat.so \
            lib/flakecoat/maya/scripts/AEflakeCoatTemplate.mel \
            lib/flakecoat/mentalray/lib/tarn_flakeCoat.so lib/flakecoat/mentalray/include/tarn_flakeCoat.mi \
            lib/flakecoat/looks/candy-red.json lib/flakecoat/looks/default-green.json \
            share/doc/flakecoat/README.md; do
  [[ -f "$work/moved/$file" ]] || { echo "missing after install: $file" >&2; exit 1; }
done

# Nothing points back into the build tree.
if readelf -d "$tool" | grep -E 'R(UN)?PATH' | grep -q -v '\$ORIGIN'; then
  echo "the installed tool keeps a run path outside its tree:" >&2
  readelf -d "$tool" | grep -E 'R(UN)?PATH' >&2
  exit 1
fi

attributes=$("$tool" attributes)
grep -q "^plug-in    $work/moved/bin/../lib/flakecoat/maya/plug-ins/flakeCoat.so " <<<"$attributes" ||
  { echo "attributes did not load the moved plug-in:" >&2; head -3 <<<"$attributes" >&2; exit 1; }
grep -q '^81 attributes' <<<"$attributes" || { echo "attributes: expected 81 attributes" >&2; exit 1; }

"$tool" looks | grep -q "^5 looks in $work/moved/bin/../lib/flakecoat/looks" ||
  { echo "looks did not list the moved tree's looks:" >&2; "$tool" looks >&2; exit 1; }

"$tool" render --host both --size 24x16 --spp 1 --look candy-red --out "$work/ball.png" >/dev/null
for host in maya mentalray; do
  [[ -s "$work/ball-$host.png" ]] || { echo "render wrote no ball-$host.png" >&2; exit 1; }
done
rm -rf "$work"
