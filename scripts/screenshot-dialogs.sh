#!/bin/sh
# Renders every auxiliary dialog into docs/screenshots/<name>.png (offscreen, no display).
# Usage: scripts/screenshot-dialogs.sh [build-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cmake --build "$build" --target dialog_screenshot -j2
mkdir -p "$root/docs/screenshots"
for name in Form2 Form4 Form5 Form6 Form7 frmAbout planFillDialog logWindow batchWriteWindow; do
  QT_QPA_PLATFORM=offscreen "$build/tests/dialogs/dialog_screenshot" \
    --dialog "$name" --screenshot "$root/docs/screenshots/$name.png"
  echo "docs/screenshots/$name.png"
done
