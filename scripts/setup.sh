#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, when missing.
#
#   scripts/setup.sh [PACKAGE...]
#
# With PACKAGEs it installs those instead (for the tools' own needs).
set -euo pipefail
packages=("$@")
[ $# -gt 0 ] || packages=(cmake g++ make pkg-config libsdl1.2-compat-dev libsdl-ttf2.0-dev
          libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils clang clang-format libclang-rt-14-dev
          desktop-file-utils dpkg-dev libncurses-dev python3-pyte x11-xkb-utils lintian libx11-dev libxtst-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
