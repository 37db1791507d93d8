#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; only the missing ones.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config make
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  libgl-dev
  googletest libgtest-dev libbenchmark-dev
  libcsv-dev
  xvfb xauth fonts-wqy-microhei
  clang libclang-rt-14-dev clang-tidy clang-format
  locales
  python3 time ccache
  poppler-utils
  dpkg-dev devscripts lintian man-db appstream desktop-file-utils librsvg2-bin shared-mime-info libglib2.0-bin
  g++-mingw-w64-x86-64-posix wine64
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, so the tests prove numbers never follow the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
