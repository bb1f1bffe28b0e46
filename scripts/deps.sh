#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Melotrix
# needs, when one is missing. As root it installs; otherwise it prints the
# apt command and fails.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-svg-dev fonts-dejavu-core
  libasound2-dev libsndfile1-dev libsoxr-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  sox locales xvfb xauth
  # Trying the window as a user: a window manager, input, screenshots, a real-time sound server.
  openbox xdotool imagemagick x11-utils pulseaudio libasound2-plugins alsa-utils
  # Trying the installed package as a user: a terminal with completion, desktop entries launched.
  xterm bash-completion libglib2.0-bin
  # Rebuilding several checkouts at once (CMAKE_CXX_COMPILER_LAUNCHER=ccache).
  ccache
  # Making the Debian package and checking it (scripts/package.sh, scripts/check-package.sh).
  dpkg-dev lintian desktop-file-utils appstream shared-mime-info man-db
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

# The readout tests check their texts under a German locale as well.
german_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
}

if [ ${#missing[@]} -eq 0 ]; then
  german_locale
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Melotrix needs these packages: ${missing[*]}" >&2
  echo "Run: sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
german_locale
