#!/usr/bin/env bash
# Starts the best demonstration there is: the window on a simulated radio when both are
# built, otherwise the command line tool on a new configuration.
set -euo pipefail
build=${1:-build}
gui="$build/app/gui/morvane-r7"
sim="$build/src/sim/morvane-r7-sim"
cli="$build/app/cli/morvane-r7-cli"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

if [ -x "$gui" ] && [ -x "$sim" ]; then
  # A sample configuration for the simulated radio to hold.
  "$cli" encode - "$work/sample.DAT" < "$(dirname "$0")/../docs/sample-config.json"
  "$sim" --load "$work/sample.DAT" --baud-pace > "$work/sim.out" &
  for _ in $(seq 50); do [ -s "$work/sim.out" ] && break; sleep 0.1; done
  device=$(head -n 1 "$work/sim.out")
  echo "Simulated radio on $device (COM1). Choose \"Read data from radio(R)\" (Ctrl+R)."
  export MORVANE_R7_COM1="$device"
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under Xvfb; a screenshot goes to $work/../morvane-r7-demo.png"
    exec xvfb-run -a "$gui" --screenshot "$(dirname "$work")/morvane-r7-demo.png"
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
