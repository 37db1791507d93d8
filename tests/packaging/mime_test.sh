#!/usr/bin/env bash
# The configuration file type as the desktop sees it: our MIME description compiled by
# shared-mime-info into a private data folder, each file's type asked of GIO, which reads
# that database as file managers do.
set -euo pipefail
xml=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/mime/packages"
cp "$xml" "$work/mime/packages/morvane-r7.xml"
update-mime-database "$work/mime" >/dev/null 2>&1
export XDG_DATA_HOME=$work XDG_DATA_DIRS=/usr/share GIO_USE_VFS=local

binary() { printf '\377\000\001\376%.0s' $(seq 64); }  # not text, no magic of anyone's
cases=(
  # file          first bytes                       expected type
  "radio.DAT|P3207|application/x-morvane-r7-configuration"
  "radio.dat|P3207|application/x-morvane-r7-configuration"
  "radio|P3207|application/x-morvane-r7-configuration"
  "shifted.DAT| P3207|application/octet-stream"
  "short.DAT|P320|application/octet-stream"
  "notes.dat|TEXT|text/plain"
  "other.DAT|hello|text/plain"
  "random.dat||application/octet-stream"
)
failed=0
for row in "${cases[@]}"; do
  IFS='|' read -r name head expected <<<"$row"
  if [ "$head" = TEXT ]; then
    printf 'Channel notes for the shop radios\nsecond line\n' >"$work/$name"
  elif [ "$name" = other.DAT ]; then
    printf '%s' "$head" >"$work/$name"
  else
    { printf '%s' "$head"; binary; } >"$work/$name"
  fi
  got=$(gio info -a standard::content-type "$work/$name" | sed -n 's/^ *standard::content-type: //p')
  if [ "$got" != "$expected" ]; then
    echo "FAIL $name: $got, expected $expected"
    failed=1
  fi
done
exit $failed
