#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, and only those that
# are missing, so a second run is instant. Used by play.sh and test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  # compiler and build
  g++ cmake ninja-build ccache pkg-config
  # libraries the program links
  libsdl2-dev libopenal-dev libpng-dev libfreetype-dev libx11-dev
  # tests and benchmarks
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  # fuzzing: coverage reports, and the hand-made edge fonts among the seeds
  llvm-14 python3-fonttools
  # the house's habits: formatting and static analysis
  clang-format clang-tidy
  # a virtual display, GL in software, input driving and capture
  xvfb xauth libgl1-mesa-dri libegl1 libegl-mesa0
  xdotool x11-utils x11-apps x11-xserver-utils imagemagick sox
  # packages: the Debian package's tools and checkers, zips
  dpkg-dev lintian desktop-file-utils appstream zip
)
# The art generator names the Debian font packages whose faces it stages.
if [[ -f art/fonts.txt ]]; then
  while read -r line; do
    line=${line%%#*}
    for word in $line; do packages+=("$word"); done
  done < art/fonts.txt
fi

DEBSRC_NAME=setup
source scripts/debsrc.sh
install_missing "${packages[@]}"
echo "setup: all ${#packages[@]} packages present"
