#!/usr/bin/env bash
# Builds the package again from a clean clone of the committed tree in another folder and
# compares it with DEB byte for byte: the build folder, the time and the order of the disk
# must leave no trace.
set -euo pipefail
deb=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
  echo "reproducible: uncommitted changes; the clone builds the commit only" >&2
fi
work=$(mktemp -d /tmp/r7-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
git clone -q --no-local "$root" "$work/src"
git -C "$work/src" checkout -q --detach "$(git -C "$root" rev-parse HEAD)"
make -C "$work/src" package JOBS="${JOBS:-2}" \
  CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DR7_BUILD_TESTS=OFF -DR7_BUILD_BENCH=OFF" >"$work/log" 2>&1 ||
  { tail -20 "$work/log"; exit 1; }
again=$(ls "$work"/src/build/morvane-r7_*.deb)
if cmp -s "$deb" "$again"; then
  echo "reproducible: $(basename "$deb") built twice, identical ($(sha256sum <"$deb" | cut -c1-16))"
  exit 0
fi
echo "reproducible: the two packages differ"
diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again") || true
diff <(dpkg-deb -I "$deb" md5sums) <(dpkg-deb -I "$again" md5sums) || true
exit 1
