#!/usr/bin/env bash
# Saves a picture of the main window to docs/screenshots/main-window.png.
# usage: scripts/screenshot.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
program="$build/app/gui/morvane-r7"
out="$root/docs/screenshots/main-window.png"
if [[ ! -x "$program" ]]; then
    echo "screenshot.sh: $program not found; build first (make build)" >&2
    exit 1
fi
mkdir -p "$(dirname "$out")"
# A real X server (not the offscreen platform), so fonts and style look as on a desktop.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$program" --screenshot "$out"
# Smaller (256 colours at most) when pngquant is installed; it looks the same.
if command -v pngquant >/dev/null; then
    pngquant --force --strip --skip-if-larger --quality 70-95 --ext .png "$out" || true
fi
echo "saved $out"
