#!/usr/bin/env bash
# Runs every benchmark and prints one table; keeps it under bench/results/ with the date.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/bench/results"
out="$root/bench/results/$(date +%Y-%m-%d)-$(uname -m)-$(nproc)cores.md"
python3 "$root/scripts/bench_table.py" "$build" "$out"
echo "Saved as ${out#$root/}"
