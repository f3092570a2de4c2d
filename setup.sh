#!/usr/bin/env bash
# Shared set-up of ./run, ./test and ./fuzz: install the Debian packages the build needs when
# any is missing (RAVELIN_EXTRA_PACKAGES names more), then configure and build into the folder
# given as $1 with the CMake options after it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
packages=(cmake ninja-build g++ pkg-config libfreeimage-dev libdevil-dev libgtest-dev
  libarchive-dev zlib1g-dev libpng-dev libjpeg-dev libcairo2-dev libpango1.0-dev
  fonts-liberation fonts-dejavu-core imagemagick
  qt6-base-dev qt6-qpa-plugins qt6-wayland qt6-svg-dev desktop-file-utils appstream
  ${RAVELIN_EXTRA_PACKAGES:-})
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  apt-get update -qq >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi
build=$1; shift
cmake -S "$top" -B "$top/$build" -G Ninja "$@" >/dev/null
cmake --build "$top/$build" >&2
