#!/usr/bin/env bash
# Where the real window program keeps its "parameter" file: beside itself when unpacked into a
# folder of its own, in the user's configuration folder when installed (any prefix).
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/copy" "$work/prefix/bin" "$work/prefix/share/morvane-r7" "$work/home"
cp "$program" "$work/copy/"
cp "$program" "$work/prefix/bin/"
config=$work/home/.config/Morvane-R7/parameter
failed=0
for row in "copy/morvane-r7|$work/copy/parameter" "prefix/bin/morvane-r7|$config"; do
  IFS='|' read -r run expected <<<"$row"
  rm -f "$work/copy/parameter" "$work/prefix/bin/parameter" "$config"
  HOME=$work/home XDG_CONFIG_HOME= QT_QPA_PLATFORM=offscreen \
    "$work/$run" --quit-after-first-paint >/dev/null 2>&1
  found=$(cd "$work" && find . -name parameter | sort | tr '\n' ' ')
  if [ "$found" != "./${expected#"$work/"} " ]; then
    echo "FAIL $run: parameter files: $found expected ${expected#"$work/"}"
    failed=1
  fi
done
exit $failed
