#!/usr/bin/env bash
# clang-tidy over the program's own sources with the checks of .clang-tidy; any finding fails.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Generated moc files and the tests are left out; the headers come in through the sources.
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "^$root/(src|app)/.*\.cpp$" > "$log" 2>&1 || true
if grep -E '(warning|error):' "$log" | grep -v 'warnings generated' > /dev/null; then
  grep -E -A3 '(warning|error):' "$log"
  echo "clang-tidy: $(grep -cE '(warning|error):' "$log") findings"
  exit 1
fi
echo "clang-tidy: no findings"
