#!/usr/bin/env bash
# Installs the Debian 12 packages Vemro needs to build, test and run, when missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ clang libclang-rt-14-dev
      qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6sql6-sqlite
      libgl-dev xvfb xauth imagemagick fonts-dejavu-core qt6-translations-l10n
      poppler-utils xdotool ccache srecord binutils clang-format
      lintian desktop-file-utils appstream man-db dpkg-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
fi
