#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test DevozizuDave.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail
PKGS=(
  build-essential cmake ninja-build pkg-config ccache
  libsdl2-dev libx11-dev libepoxy-dev libegl-dev libegl1 libgl1-mesa-dri
  libimgui-dev libstb-dev
  libopenal-dev libopenal1 libsndfile1-dev
  liblua5.1-0-dev libfreetype-dev fonts-dejavu-core fonts-league-spartan
  libunwind-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev libfuzzer-14-dev
  clang-format xvfb xdotool openbox
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
