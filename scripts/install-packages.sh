#!/usr/bin/env bash
# Installs the Debian 12 packages Tolmeo needs to build, test and run. Safe to run again.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libjpeg62-turbo-dev libieee1284-3-dev
  libusb-1.0-0-dev libgpiod-dev libftdi1-dev  # the USBasp, GPIO header and FTDI cables
  gcc-avr binutils-avr avr-libc avrdude python3
  xvfb xauth imagemagick xdotool
  openbox  # a real window manager for the window-manager cycle test
  zenity  # the desktop's file and colour dialogs
  dpkg-dev file  # cpack -G DEB: dpkg-shlibdeps finds the libraries the programs link
  desktop-file-utils man-db groff-base procps  # the checks of the installed Tolmeo
  xfonts-baekmuk xfonts-base  # the bitmap fonts tools/fontconv/make_fonts.py turns into data/font
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
