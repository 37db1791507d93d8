#!/usr/bin/env bash
# As piuparts does, on this system: lists the files, installs the package, runs both programs
# as root (as `sudo` for a serial port would), purges the package and lists again. Anything
# left, gone or changed is a fault; so is a "parameter" file written beside the program.
# Needs root and changes the system while it runs: a manual check, not part of CI.
set -euo pipefail
deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "purge-check: run as root" >&2; exit 2; }
if dpkg-query -W -f='${Status}' morvane-r7 2>/dev/null | grep -q installed; then
  echo "purge-check: morvane-r7 is installed already; not touching it" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The package manager's own records and caches the desktop triggers rebuild are not ours.
snapshot() {
  find /usr /etc /opt /var/lib -xdev \
    \( -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/lib/ucf \) -prune -o \
    -printf '%p %M %u:%g %s\n' 2>/dev/null |
    grep -Ev '^/usr/share/(mime|applications/mimeinfo\.cache|icons/hicolor/icon-theme\.cache)' | sort
}
snapshot >"$work/before"
export DEBIAN_FRONTEND=noninteractive
dpkg -i "$deb" >/dev/null
home=$work/home
mkdir -p "$home"
failed=0
HOME=$home QT_QPA_PLATFORM=offscreen morvane-r7 --quit-after-first-paint >/dev/null 2>&1 ||
  { echo "purge-check: the window did not start"; failed=1; }
morvane-r7-cli new "$work/new.DAT" && morvane-r7-cli sheet "$work/new.DAT" -o "$work/sheet.pdf" ||
  { echo "purge-check: the command line tool failed"; failed=1; }
[ -e /usr/bin/parameter ] && { echo "purge-check: /usr/bin/parameter written"; failed=1; }
[ -e "$home/.config/Morvane-R7/parameter" ] ||
  { echo "purge-check: no parameter file in root's configuration folder"; failed=1; }
dpkg --purge morvane-r7 >/dev/null
snapshot >"$work/after"
if ! diff -u "$work/before" "$work/after" >"$work/diff"; then
  echo "purge-check: the system differs after the purge:"
  grep '^[-+]/' "$work/diff"
  failed=1
fi
[ $failed -eq 0 ] && echo "purge-check: installed, run as root, purged; nothing left"
exit $failed
