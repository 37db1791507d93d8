#!/usr/bin/env bash
# Starts the best demonstration there is: the window on a simulated radio when both are
# built, otherwise the command line tool on a new configuration.
# usage: scripts/demo.sh [BUILD_DIR]
# Without a display the window runs under Xvfb, reads the simulated radio at once
# (--read-on-start) and leaves a picture of the result in $TMPDIR/morvane-r7-demo.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-build}
gui="$build/app/gui/morvane-r7"
sim="$build/src/sim/morvane-r7-sim"
cli="$build/app/cli/morvane-r7-cli"
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -x "$gui" ] && [ -x "$sim" ]; then
  # A sample configuration for the simulated radio to hold.
  "$cli" encode - "$work/sample.DAT" < "$root/docs/sample-config.json"
  # --no-stdin: a background job's standard input is empty, which would end the radio.
  "$sim" --load "$work/sample.DAT" --baud-pace --no-stdin > "$work/sim.out" &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  device=$(head -n 1 "$work/sim.out")
  if [ -z "$device" ]; then
    echo "demo.sh: the simulated radio did not start" >&2
    exit 1
  fi
  # Whichever port the window remembers from its last run leads to the simulated radio.
  for n in 1 2 3 4 5 6 7 8; do export "MORVANE_R7_COM$n=$device"; done
  echo "Simulated radio on $device (COM1 to COM8). Choose \"Read data from radio(R)\" (Ctrl+R)."
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    picture="${TMPDIR:-/tmp}/morvane-r7-demo.png"
    echo "No display: running under Xvfb; reading the radio, then a picture goes to $picture"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
      "$gui" --read-on-start --screenshot "$picture"
    echo "saved $picture"
    exit 0
  fi
  "$gui"
  exit 0
fi

echo "== morvane-r7-cli new demo.DAT"
"$cli" new "$work/demo.DAT"
echo "== morvane-r7-cli dump demo.DAT"
"$cli" dump "$work/demo.DAT"
echo "== the same as JSON, squelch set to 6 and encoded back"
"$cli" dump --json "$work/demo.DAT" | sed 's/"Combo5": 3/"Combo5": 5/' | "$cli" encode - "$work/edited.DAT"
"$cli" dump "$work/edited.DAT" | grep Squelch
