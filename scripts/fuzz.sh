#!/usr/bin/env bash
# Runs every fuzz target for a bounded time, starting from its seed corpus (left unchanged:
# new inputs go to a scratch folder). A crash stops the run with its input saved in fuzz/findings/.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/fuzz/findings"
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  scratch=$(mktemp -d)
  echo "== $name: ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$root/fuzz/findings/$name-" "$scratch" "$root/fuzz/corpus/$name" 2>&1 |
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+==ERROR|SUMMARY)' || true
  status=${PIPESTATUS[0]}
  rm -rf "$scratch"
  if [ "$status" -ne 0 ]; then echo "fuzz target $name failed (status $status)"; exit 1; fi
done
