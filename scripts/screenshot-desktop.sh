#!/bin/sh
# Pictures of the channel sheet and of the CSV import report for the README (no display).
# Usage: scripts/screenshot-desktop.sh [build-folder]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cmake --build "$build" --target dialog_screenshot morvane-r7-cli -j2
shots="$root/docs/screenshots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Smaller pictures (256 colours at most) when pngquant is installed; they look the same.
shrink() { if command -v pngquant >/dev/null; then pngquant --force --strip --skip-if-larger --quality 70-95 --ext .png "$@" || true; fi; }
cli="$build/app/cli/morvane-r7-cli"
cat > "$work/channels.csv" <<'CSV'
Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Power
1,Site A,446.00625,,0,Tone,88.5,88.5,5.0W
2,Site B,446.01875,,0,,88.5,88.5,0.5W
3,Repeater,438.72500,-,7.6,TSQL,123.0,123.0,5.0W
4,Workshop,462.56250,,0,,88.5,88.5,5.0W
CSV
"$cli" import-csv "$work/channels.csv" "$work/fleet.DAT"
"$cli" sheet "$work/fleet.DAT" -o "$work/sheet.pdf"
pdftoppm -r 60 -png -singlefile -x 0 -y 0 -W 496 -H 280 "$work/sheet.pdf" "$shots/channel-sheet"
shrink "$shots/channel-sheet.png"
echo "docs/screenshots/channel-sheet.png"
QT_QPA_PLATFORM=offscreen "$build/tests/dialogs/dialog_screenshot" \
  --dialog reportWindow --screenshot "$shots/csv-report.png"
shrink "$shots/csv-report.png"
echo "docs/screenshots/csv-report.png"
