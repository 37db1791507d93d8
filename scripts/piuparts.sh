#!/usr/bin/env bash
# piuparts on the package: a clean Debian 12 chroot from the mirror apt already uses, the
# package installed, both programs asked for their version, purged, and the chroot checked
# for anything left. The chroot is kept as a tarball under build/ for the next run.
set -euo pipefail
deb=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
missing=()
for p in piuparts debootstrap; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
mirror=${mirror:-http://deb.debian.org/debian}
base=$(dirname "$deb")/piuparts-bookworm.tgz
args=(--distribution=bookworm --mirror="$mirror main" --scriptsdir="$root/packaging/piuparts"
      --no-upgrade-test --warn-on-debsums-errors)
if [ -f "$base" ]; then
  args+=(--basetgz="$base")
else
  args+=(--save="$base")  # the chroot made this time, for the next run
fi
piuparts "${args[@]}" "$deb"
