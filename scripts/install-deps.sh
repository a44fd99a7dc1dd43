#!/usr/bin/env bash
# Installs the Debian packages that building, running, testing and benchmarking need.
# Does nothing when every package is already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
  libgl-dev libxkbcommon-dev
  libgtest-dev libgmock-dev libbenchmark-dev libomp-dev libturbojpeg0-dev libjpeg62-turbo-dev
  libpng-dev libdeflate-dev libtiff-dev
  liblcms2-dev liblcms2-utils colord-data icc-profiles-free libgs-common libxcb1-dev
  libheif-dev libjxl-dev libraw-dev libheif-examples libavif-bin libjxl-tools libraw-bin
  libimage-exiftool-perl
  fonts-ipafont-gothic
  xvfb xauth xdotool xclip x11-apps x11-utils imagemagick librsvg2-bin
  desktop-file-utils appstream openbox wmctrl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if ((EUID != 0)); then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
