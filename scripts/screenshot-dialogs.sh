#!/bin/sh
# Renders every auxiliary dialog and Tools > Serial ports into docs/screenshots/<name>.png (offscreen, no display).
# Usage: scripts/screenshot-dialogs.sh [build-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cmake --build "$build" --target dialog_screenshot -j2
mkdir -p "$root/docs/screenshots"
# Smaller pictures (256 colours at most) when pngquant is installed; they look the same.
shrink() { if command -v pngquant >/dev/null; then pngquant --force --strip --skip-if-larger --quality 70-95 --ext .png "$@" || true; fi; }
for name in Form2 Form4 Form5 Form6 Form7 frmAbout serialPorts planFillDialog logWindow batchWriteWindow; do
  QT_QPA_PLATFORM=offscreen "$build/tests/dialogs/dialog_screenshot" \
    --dialog "$name" --screenshot "$root/docs/screenshots/$name.png"
  shrink "$root/docs/screenshots/$name.png"
  echo "docs/screenshots/$name.png"
done
