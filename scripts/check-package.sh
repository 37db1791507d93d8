#!/usr/bin/env bash
# The built package as Debian checks it: lintian at every level (experimental, pedantic and
# informational tags too) must say nothing, and hardening-check must say yes for every program
# in it. Two lines cannot say yes on Debian 12 whatever we do, and are taken instead from the
# compiler's own record of every unit in the unstripped program of the build:
# - stack clash: hardening-check looks for probe loops, which only frames over a page need;
# - control flow: the linker marks a program only when every object is marked, and Debian 12's
#   C library start files (Scrt1.o, crti.o) are not, so even /bin/ls says no.
set -euo pipefail
deb=$1
build=$(dirname "$deb")
# Lintian's own remark about running as root (CI does) is no finding.
said=$(lintian -E --pedantic -I --color never "$deb" 2>&1 |
  grep -v "running with root privileges is not recommended" || true)
if [ -n "$said" ]; then
  echo "lintian: $said"
  exit 1
fi
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
platform_limit='Stack clash protection: unknown, no -fstack-clash-protection instructions found|Control flow integrity: no, not found!'
failed=0
while IFS= read -r program; do
  name=$(basename "$program")
  report=$(hardening-check "$program" || true)
  if grep -v "^$program:" <<<"$report" | grep -v ": yes" | grep -Evq "$platform_limit"; then
    echo "$report"
    failed=1
  fi
  built=$(find "$build/app" -type f -name "$name" | head -1)
  units=$(readelf --debug-dump=info "$built" | grep -c "DW_AT_producer.*GNU C++" || true)
  marked=$(readelf --debug-dump=info "$built" |
    grep "DW_AT_producer.*GNU C++" | grep -- "-fstack-clash-protection" | grep -c -- "-fcf-protection=full" || true)
  if [ "$units" -eq 0 ] || [ "$units" -ne "$marked" ]; then
    echo "$name: $marked of $units units compiled with stack clash and control flow protection"
    failed=1
  fi
done < <(find "$unpacked" -type f -perm -u+x -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print | sort)
[ $failed -eq 0 ] && echo "lintian silent; every program hardened"
exit $failed
