#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.
# Does nothing when they are all there already.
set -euo pipefail
pkgs=(
  cmake ninja-build g++ pkg-config lld
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  libgl-dev libgtest-dev libgmock-dev
  libcurl4-openssl-dev zlib1g-dev libssl-dev openssl curl libcpp-httplib-dev libjpeg-dev libvips-dev
  fonts-dejavu-core xvfb xauth
  dbus at-spi2-core python3-pyatspi
  mingw-w64 wine64 googletest
  python3 clang-format-14
  libsqlite3-dev
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
